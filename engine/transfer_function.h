// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

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

// Hyperbolic tangent of every lane from one exponential of a non-positive
// argument, so it never overflows: a large |x| gives plus or minus 1.
// |x| and copysign are taken on the bits, as the scalar functions do.
template <int n>
[[gnu::always_inline]] inline Lanes<n> SigmoidTanh(Lanes<n> x) {
  constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
  const LaneWords<n> bits = BitsOf<n>(x);
  const Lanes<n> t = ExpOfNonPositive<n>(-2.0 * DoublesOf<n>(bits & ~kSign));
  const Lanes<n> q = (1.0 - t) / (1.0 + t);
  return DoublesOf<n>((BitsOf<n>(q) & ~kSign) | (bits & kSign));
}

// The same for one x.
inline double SigmoidTanh(double x) { return SigmoidTanh<1>(x); }

// SigmoidTanh of n neighbouring net inputs x[0..n-1] into y, with the
// slopes 1 - y^2 into s.
template <int n>
[[gnu::always_inline]] inline void SigmoidTanhLanes(const double* x, double* y, double* s) {
  Lanes<n> in;
  std::memcpy(&in, x, sizeof in);
  const Lanes<n> out = SigmoidTanh<n>(in);
  const Lanes<n> slope = 1.0 - out * out;
  std::memcpy(y, &out, sizeof out);
  std::memcpy(s, &slope, sizeof slope);
}

// The arctangent scaled by the decimal 1.570796 (not pi/2 to full precision).
inline double ScaledArctangent(double x) { return std::atan(x) / 1.570796; }

// Outputs y[j] and slopes s[j] of neurodes first..last from their net inputs
// x[j]. The slope of Sigmoid/TANH comes from the output (1 - y^2), that of
// Arctangent from the input (1 / (1 + x^2)). An unknown code passes x
// through and gives every neurode the slope the last neurode computed
// (`carried`, 0 before the first); a known code leaves its last slope there.
template <int kWidth>
[[gnu::always_inline]] inline void TransferLayer(TransferCode code, const double* x, double* y,
                                                 double* s, int first, int last, double& carried) {
  switch (code) {
    case TransferCode::Linear:
      for (int j = first; j <= last; ++j) {
        y[j] = x[j];
        s[j] = 1.0;
      }
      break;
    case TransferCode::SigmoidTanh:
      ForEachBlock<kWidth>(first, last, [&]<int n>(int j) { SigmoidTanhLanes<n>(x + j, y + j, s + j); });
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
