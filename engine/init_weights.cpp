// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/init_weights.h"

#include <cmath>

#include "engine/number_text.h"
#include "engine/whole_number.h"
#include "engine/workspace.h"

namespace backprop {

WeightRandom::WeightRandom(std::int16_t seed)
    : engine_(static_cast<std::uint32_t>(static_cast<std::int32_t>(seed))) {}

double WeightRandom::Next() {
  return static_cast<double>(engine_() >> 8) / 16777216.0;  // 24 bits over 2^24
}

void InitWeights(Workspace& ws, std::string_view valueText) {
  WeightRandom random(ws.WeightSeed);
  const std::int64_t kind = CheckedWhole(ReadLeadingNumber(valueText), 0, 255, "the INITW kind");
  if (kind < 1 || kind > 3) return;  // only the re-seed happens
  ws.HandPatterns = 0;
  ws.HandCycles = 0;

  const double layerCount = ws.LayerCount;
  for (int h = 1; h <= layerCount - 1; ++h) {
    const double sourceSize = ws.LayerSizes(h);
    const double targetSize = ws.LayerSizes(h + 1);
    for (int i = 0; i <= sourceSize; ++i) {
      for (int j = 1; j <= targetSize; ++j) {
        double weight = 0.0;
        if (kind == 1) weight = random.Next();
        if (kind == 2) weight = 2.0 * random.Next() - 1.0;
        ws.Weights(i, j, h) = static_cast<double>(static_cast<float>(weight));
      }
    }
  }
}

}  // namespace backprop
