// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace backprop {

class Canvas;
struct Workspace;

// A value set in the parameters window holds only until a program line
// sets the parameter again. These marks say which rows Program S1 and S2
// set when they run, one line per row:
// "EPSILON: Program S1 line 8 sets .2 at Run(S1)", with "; Program S2 ..."
// after it when both do. The line named is the last that sets the row's
// parameter before the run would end (a line that would stop the run with
// an error sets nothing after it); the value is the one that line leaves,
// written as the row writes it. Found by walking the programs on a copy of
// the workspace: nothing is run and nothing changes.
std::vector<std::string> OverrideMarks(const Workspace& ws);

// What the window shows: the list (DrawParameterList), then, under a
// heading, the marks (none when no row is set by a program). Returns the
// same as plain lines, "Epsilon/learning rate is .05", for a screen reader.
std::string DrawParametersWindow(Workspace& ws, Canvas& canvas);

}  // namespace backprop
