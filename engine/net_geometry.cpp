// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/net_geometry.h"

#include <cmath>
#include <string>

#include "engine/engine_error.h"
#include "engine/workspace.h"

namespace backprop {

int LoopCount(double bound) {
  if (!(bound >= 1.0)) return 0;
  // Anything past the tables is reported by the caller; clamp before the
  // conversion so a huge bound cannot overflow an int.
  return bound >= 1e6 ? 1000000 : static_cast<int>(std::floor(bound));
}

NetGeometry ValidatedGeometry(const Workspace& ws) {
  NetGeometry geometry;
  const int layers = LoopCount(ws.LayerCount);
  if (layers > kMaxLayers) {
    throw EngineError("the net has more than " + std::to_string(kMaxLayers) + " layers");
  }
  geometry.layerCount = layers;
  // Layer 1 always takes the inputs; layer 0 stands in for the last layer
  // of a net without layers.
  for (int k = (layers == 0 ? 0 : 1); k <= (layers < 1 ? 1 : layers); ++k) {
    const int size = LoopCount(ws.LayerSizes(k));
    if (size > kMaxNeurodes) {
      throw EngineError("layer " + std::to_string(k) + " has more than " +
                        std::to_string(kMaxNeurodes) + " neurodes");
    }
    geometry.sizes[static_cast<std::size_t>(k)] = size;
  }
  return geometry;
}

}  // namespace backprop
