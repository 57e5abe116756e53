// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstring>

#include "engine/workspace.h"

namespace backprop::testing {

// Whether two tables hold the same cells, bit for bit (set flags included).
template <typename T>
bool SameCells(const T& a, const T& b) {
  return std::memcmp(a.Cells(), b.Cells(), sizeof(*a.Cells()) * T::kSize) == 0;
}

// Whether two workspaces hold the same numbers of the net, the loaded data
// set and the run: what a read-only routine must leave as it found it.
inline bool SameNumbers(const Workspace& a, const Workspace& b) {
  return SameCells(a.Weights, b.Weights) && SameCells(a.NodeValues, b.NodeValues) &&
         SameCells(a.NetInputs, b.NetInputs) && SameCells(a.Slopes, b.Slopes) &&
         SameCells(a.Deltas, b.Deltas) && SameCells(a.RawInputs, b.RawInputs) &&
         SameCells(a.ScaledInputs, b.ScaledInputs) && SameCells(a.RawTargets, b.RawTargets) &&
         SameCells(a.ScaledTargets, b.ScaledTargets) && SameCells(a.LayerSizes, b.LayerSizes) &&
         SameCells(a.BiasFlags, b.BiasFlags) && a.PatternCount.Value() == b.PatternCount.Value() &&
         a.LoadedSet.Value() == b.LoadedSet.Value() &&
         a.SelectedSet.Value() == b.SelectedSet.Value() &&
         a.StepPosition.Value() == b.StepPosition.Value() &&
         a.TrialCounter.Value() == b.TrialCounter.Value() &&
         a.RunMode.Value() == b.RunMode.Value() &&
         a.HandPatterns.Value() == b.HandPatterns.Value() && a.CurrentLine == b.CurrentLine;
}

}  // namespace backprop::testing
