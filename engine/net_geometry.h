// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "engine/net_tables.h"

namespace backprop {

struct Workspace;

// The layer count and layer sizes as whole numbers, checked once against the
// tables so that the hot loops of the forward pass and training can index
// the cells directly. A bound counts by its whole part, as the loops that
// compare against it do; a negative or unset bound counts as 0.
struct NetGeometry {
  int layerCount = 0;                       // L; 0 when LayerCount < 1
  std::array<int, kMaxLayers + 1> sizes{};  // non-bias neurodes of layer k (0..L)

  int OutputLayer() const { return layerCount; }
  int OutputSize() const { return sizes[static_cast<std::size_t>(layerCount)]; }
  int Size(int layer) const { return sizes[static_cast<std::size_t>(layer)]; }
};

// The number of passes of a loop "for i = 1 to bound": the whole part of a
// bound of at least 1, else 0.
int LoopCount(double bound);

// Reads and checks the geometry: a layer count above 10, or a size above 10
// in any layer the loops reach, is an index error (EngineError). Layer 1 (the
// inputs) is always read; layer 0 only when the layer count is below 1, where
// the last layer falls back to index 0.
NetGeometry ValidatedGeometry(const Workspace& ws);

}  // namespace backprop
