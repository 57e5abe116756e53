// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>
#include <string_view>

namespace backprop {

struct Workspace;

// The weight generator: uniform on [0, 1), seeded from the 16-bit seed.
// std::mt19937 is fully specified, so every platform draws the same
// sequence; the values keep 24 significant bits, so they survive the
// rounding of weights to single precision and never round up to 1.
class WeightRandom {
 public:
  explicit WeightRandom(std::int16_t seed);
  double Next();

 private:
  std::mt19937 engine_;
};

// Re-seeds the generator from WeightSeed and fills the weights of the
// current geometry by the INITW kind read from `valueText`: 1 uniform in
// [0, 1), 2 uniform in [-1, 1), 3 zero; 0 and 4..255 only re-seed; any other
// kind is a run error. Weights are stored rounded to single precision.
void InitWeights(Workspace& ws, std::string_view valueText);

}  // namespace backprop
