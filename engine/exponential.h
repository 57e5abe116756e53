// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "engine/lanes.h"

namespace backprop {

// e^a for every lane a <= 0, inline and without a library call, for the
// transfer function's hot loop. Below -40 it gives e^-40 (about 4e-18),
// which is all the hyperbolic tangent can see of it. Accurate to about one
// unit in the last place: a = (32 m + j) ln2/32 + r with |r| <= ln2/64, so
// e^a = 2^m * 2^(j/32) * e^r, with 2^(j/32) from a table of correctly
// rounded values and e^r from its Taylor polynomial to r^6 (remainder below
// 4e-18).
template <int n>
[[gnu::always_inline]] inline Lanes<n> ExpOfNonPositive(Lanes<n> a) {
  static constexpr std::array<double, 32> kTwoToJOver32{
      0x1.0000000000000p+0, 0x1.059b0d3158574p+0, 0x1.0b5586cf9890fp+0, 0x1.11301d0125b51p+0,
      0x1.172b83c7d517bp+0, 0x1.1d4873168b9aap+0, 0x1.2387a6e756238p+0, 0x1.29e9df51fdee1p+0,
      0x1.306fe0a31b715p+0, 0x1.371a7373aa9cbp+0, 0x1.3dea64c123422p+0, 0x1.44e086061892dp+0,
      0x1.4bfdad5362a27p+0, 0x1.5342b569d4f82p+0, 0x1.5ab07dd485429p+0, 0x1.6247eb03a5585p+0,
      0x1.6a09e667f3bcdp+0, 0x1.71f75e8ec5f74p+0, 0x1.7a11473eb0187p+0, 0x1.82589994cce13p+0,
      0x1.8ace5422aa0dbp+0, 0x1.93737b0cdc5e5p+0, 0x1.9c49182a3f090p+0, 0x1.a5503b23e255dp+0,
      0x1.ae89f995ad3adp+0, 0x1.b7f76f2fb5e47p+0, 0x1.c199bdd85529cp+0, 0x1.cb720dcef9069p+0,
      0x1.d5818dcfba487p+0, 0x1.dfc97337b9b5fp+0, 0x1.ea4afa2a490dap+0, 0x1.f50765b6e4540p+0};
  constexpr double kThirtyTwoOverLn2 = 0x1.71547652b82fep+5;
  constexpr double kLn2Over32High = 0x1.62e4200000000p-6;  // k * this is exact
  constexpr double kLn2Over32Low = 0x1.fdf473de6af28p-27;
  constexpr double kRoundingShift = 0x1.8p52;  // adding it rounds to a whole number
  const Lanes<n> floor = Lanes<n>{} - 40.0;

  a = a < -40.0 ? floor : a;
  const Lanes<n> shifted = a * kThirtyTwoOverLn2 + kRoundingShift;
  const Lanes<n> k = shifted - kRoundingShift;
  const Lanes<n> r = (a - k * kLn2Over32High) - k * kLn2Over32Low;
  // The low mantissa bits of `shifted` hold 2^51 + k: j = k mod 32 and
  // m = floor(k / 32) come from them in unsigned arithmetic.
  const LaneWords<n> biasedK = BitsOf<n>(shifted) & ((std::uint64_t{1} << 52) - 1);  // 2^51 + k
  const LaneWords<n> biasedM = (biasedK >> 5) - (std::uint64_t{1} << 46) + 1023;      // m + 1023
  // 2^m * 2^(j/32) is exact and ready before the polynomial is.
  Lanes<n> twoToJ;
  for (int l = 0; l < n; ++l) {
    SetLane(twoToJ, l, kTwoToJOver32[LaneOf(biasedK, l) & 31]);
  }
  const Lanes<n> scale = twoToJ * DoublesOf<n>((biasedM & 0x7ff) << 52);

  // e^r - 1 grouped for short dependency chains (Estrin's scheme), which
  // matters when one neurode's output waits for the next.
  const Lanes<n> r2 = r * r;
  const Lanes<n> r4 = r2 * r2;
  const Lanes<n> low = r + r2 * (1.0 / 2 + r * (1.0 / 6));
  const Lanes<n> high = (1.0 / 24 + r * (1.0 / 120)) + r2 * (1.0 / 720);
  return scale + scale * (low + r4 * high);
}

// e^a for one a <= 0.
inline double ExpOfNonPositive(double a) { return ExpOfNonPositive<1>(a); }

}  // namespace backprop
