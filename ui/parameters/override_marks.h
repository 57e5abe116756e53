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

// Draws the marks under the list of rows, with a heading, in the list's own
// font; draws nothing when no row is set by a program.
void DrawOverrideMarks(const Workspace& ws, Canvas& canvas);

// What the window shows: the list (DrawParameterList), then the marks.
void DrawParametersWindow(Workspace& ws, Canvas& canvas);

}  // namespace backprop
