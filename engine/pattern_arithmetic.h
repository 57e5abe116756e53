// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "engine/pattern_step.h"

namespace backprop {

struct DataSetValues;
struct Workspace;

// The arithmetic of pattern `pattern` of training set `set` (1 or 2) with
// the current weights and parameters: the step training runs, run on a copy
// of the net, so the workspace does not change. The set's text is read and
// scaled as a load reads it. Throws EngineError with the reason for an
// empty set, a pattern outside 1..PatternCount, a geometry beyond the
// tables or a net input or error that overflows; a step whose deltas or new
// weights overflow is returned with its reason in `overflow`.
PatternArithmetic ExplainPattern(const Workspace& ws, int set, int pattern);
// The same for set `set` already read by ReadDataSet.
PatternArithmetic ExplainPattern(const Workspace& ws, const DataSetValues& data, int set,
                                 int pattern);

// The reason a step would leave a value that is not finite, or "".
inline const std::string& OverflowIn(const PatternArithmetic& arithmetic) {
  return arithmetic.overflow;
}

}  // namespace backprop
