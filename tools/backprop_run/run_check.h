// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace backprop {

struct Workspace;

// The exit status of --check when it found something to warn about.
inline constexpr int kExitWarnings = 3;

// The warnings of the text checks for a run of Program S1 (program 1) or S2
// (program 2) from the workspace as it is: that program's text, then the
// three data sets as this run would read them. One line each, naming the
// file and the line: "warning: xor.pr1 line 2: EPSILN: not a keyword; did
// you mean EPSILON?".
std::vector<std::string> RunWarnings(const Workspace& ws, int program);

}  // namespace backprop
