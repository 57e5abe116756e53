#pragma once

#include <cmath>

#include "engine/exponential.h"

namespace backprop {

struct NetGeometry;
struct Workspace;

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

// Output of a neurode with net input x; its slope goes to `slope`. An unknown
// code returns x and leaves `slope` as the previous neurode left it.
inline double Transfer(TransferCode code, double x, double& slope) {
  switch (code) {
    case TransferCode::Linear:
      slope = 1.0;
      return x;
    case TransferCode::SigmoidTanh: {
      const double y = SigmoidTanh(x);
      slope = 1.0 - y * y;
      return y;
    }
    case TransferCode::Arctangent:
      slope = 1.0 / (1.0 + x * x);
      return ScaledArctangent(x);
    case TransferCode::Sign:
      slope = 1.0;
      return x > 0.0 ? 1.0 : (x < 0.0 ? -1.0 : 0.0);
    case TransferCode::Unknown:
      break;
  }
  return x;
}

// Computes NodeValues of layers 2..LayerCount from layer 1 and the bias
// outputs already in place. With recordSlopes it stores each neurode's slope
// in Slopes, without it the net input in NetInputs. A net input that is not
// finite is a run error (EngineError), as is a geometry beyond the tables.
void ForwardPass(Workspace& ws, bool recordSlopes);

// The same on a geometry already checked by ValidatedGeometry. `slope`
// carries the last slope from pass to pass, for an unknown code.
void ForwardPass(Workspace& ws, const NetGeometry& geometry, bool recordSlopes, double& slope);

// Maps a net output from -1..1 back to OutputRangeLow..OutputRangeHigh.
double OutputToUserRange(const Workspace& ws, double y);

}  // namespace backprop
