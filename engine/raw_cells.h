#pragma once

#include <type_traits>

#include "engine/workspace.h"

namespace backprop {

// Offsets of the raw cells of the tables (Table::Cells()), first index
// fastest; one step of the second index of a weight or node cell is
// kTargetStride cells.
inline constexpr int kTargetStride = kMaxNeurodes + 1;
constexpr int NodeCell(int node, int layer) { return node + kTargetStride * layer; }
constexpr int WeightCell(int source, int target, int layer) {
  return source + kTargetStride * target + kTargetStride * kTargetStride * layer;
}
constexpr int PatternCell(int node, int pattern) { return node + kTargetStride * pattern; }

// Writes a number into a cell that is already set, leaving its set flag as
// it is: one store instead of two in training's innermost loops. The value
// is the first member of the standard-layout WorkspaceValue, so the cell's
// address is the address of its value.
inline void OverwriteSetCell(WorkspaceValue& cell, double value) {
  static_assert(std::is_standard_layout_v<WorkspaceValue>);
  *reinterpret_cast<double*>(&cell) = value;
}

}  // namespace backprop
