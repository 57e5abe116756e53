// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace backprop {

struct PatternArithmetic;

// The arithmetic of one pattern as `--explain` prints it: tab-separated
// lines "explain SET P"; "node k j net out slope delta" for the neurodes of
// layers 2..L; "output j target e" for the output neurodes (the target
// scaled); "weight h i j w change new" for every weight, bias row i = 0
// included. Every number in the shortest form that reads back exactly.
std::string ExplainText(const PatternArithmetic& arithmetic);

}  // namespace backprop
