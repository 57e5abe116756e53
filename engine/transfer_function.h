#pragma once

#include <cmath>

#include "engine/exponential.h"

namespace backprop {

// The transfer-function codes; any other code passes the net input through.
enum class TransferCode { Unknown = 0, Linear = 1, SigmoidTanh = 2, Arctangent = 3, Sign = 4 };

// The code of a TransferFunction value: 1..4, else Unknown.
inline TransferCode TransferCodeOf(double value) {
  if (value == 1) return TransferCode::Linear;
  if (value == 2) return TransferCode::SigmoidTanh;
  if (value == 3) return TransferCode::Arctangent;
  if (value == 4) return TransferCode::Sign;
  return TransferCode::Unknown;
}

// Hyperbolic tangent from one exponential of a non-positive argument, so it
// never overflows: a large |x| gives plus or minus 1.
inline double SigmoidTanh(double x) {
  const double t = ExpOfNonPositive(-2.0 * std::fabs(x));
  return std::copysign((1.0 - t) / (1.0 + t), x);
}

// The arctangent scaled by the decimal 1.570796 (not pi/2 to full precision).
inline double ScaledArctangent(double x) { return std::atan(x) / 1.570796; }

// Outputs y[j] and slopes s[j] of neurodes first..last from their net inputs
// x[j]. The slope of Sigmoid/TANH comes from the output (1 - y^2), that of
// Arctangent from the input (1 / (1 + x^2)). An unknown code passes x
// through and gives every neurode the slope the last neurode computed
// (`carried`, 0 before the first); a known code leaves its last slope there.
inline void TransferLayer(TransferCode code, const double* x, double* y, double* s, int first,
                          int last, double& carried) {
  switch (code) {
    case TransferCode::Linear:
      for (int j = first; j <= last; ++j) {
        y[j] = x[j];
        s[j] = 1.0;
      }
      break;
    case TransferCode::SigmoidTanh:
      for (int j = first; j <= last; ++j) {
        y[j] = SigmoidTanh(x[j]);
        s[j] = 1.0 - y[j] * y[j];
      }
      break;
    case TransferCode::Arctangent:
      for (int j = first; j <= last; ++j) {
        s[j] = 1.0 / (1.0 + x[j] * x[j]);
        y[j] = ScaledArctangent(x[j]);
      }
      break;
    case TransferCode::Sign:
      for (int j = first; j <= last; ++j) {
        y[j] = x[j] > 0.0 ? 1.0 : (x[j] < 0.0 ? -1.0 : 0.0);
        s[j] = 1.0;
      }
      break;
    case TransferCode::Unknown:
      for (int j = first; j <= last; ++j) {
        y[j] = x[j];
        s[j] = carried;
      }
      return;
  }
  if (last >= first) carried = s[last];
}

}  // namespace backprop
