// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <initializer_list>

#include "engine/workspace.h"

namespace backprop::testing {

// The exclusive-or set: four patterns of two inputs and one output, -1 or 1.
inline constexpr const char* kExclusiveOrSet = "4\r\n-1,-1,-1\r\n-1,1,1\r\n1,-1,1\r\n1,1,-1\r\n";

// The program lines of the net that learns it: 2, 2 and 1 neurodes, bias
// neurodes on layers 1 and 2, weights drawn from [-1, 1).
inline constexpr const char* kExclusiveOrNet = "NETLIST=3,2,2,1\r\nBIASLIST=1,1,0\r\nINITW=2\r\n";

// Sets a net's geometry as NETLIST and BIASLIST would: the layer sizes
// from layer 1 on, and the bias flags of as many layers as given.
inline void SetGeometry(Workspace& ws, std::initializer_list<int> sizes,
                        std::initializer_list<int> biasFlags = {}) {
  ws.LayerCount = static_cast<int>(sizes.size());
  int k = 0;
  for (const int size : sizes) ws.LayerSizes(++k) = size;
  k = 0;
  for (const int flag : biasFlags) ws.BiasFlags(++k) = flag;
}

}  // namespace backprop::testing
