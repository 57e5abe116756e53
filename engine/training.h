// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace backprop {

class Canvas;
class Host;
struct CycleReport;
struct Workspace;

// How a TRAIN line ended: normally (limit or error test), or by the user's
// key or click, which abandons the rest of the program run.
enum class TrainOutcome { Finished, Interrupted };

// Trains the weights by back-propagation on the selected data set.
TrainOutcome TrainNet(Workspace& ws, Host& host);

// Training by hand, for the arithmetic view. Both load training set `set`
// (1 or 2) with its desired outputs, as training does, and run exactly the
// step training runs.

// One training cycle over the set, as TrainNet runs each of its cycles,
// numbered HandCycles + 1: the net is redrawn and the cycle reported over
// it. Counts the cycle in HandCycles when it ran to its end; Busy is 0 after.
TrainOutcome TrainOneCycle(Workspace& ws, Host& host, int set);

// Applies the step of one pattern to the weights, counts it in
// HandPatterns and redraws the net. A pattern outside the set, or a step
// that would overflow, is an EngineError that leaves the weights as they were.
void ApplyPatternStep(Workspace& ws, Host& host, int set, int pattern);

// Writes a cycle's report over the drawing: "Trial=" and the cycle, then,
// when an error is shown, "Error=", the error and the blanks that erase a
// longer error before it.
void WriteCycleReport(Canvas& canvas, const CycleReport& report);

// The error test, which ends training after a cycle: only with ShowTest 1
// and ErrorTest 1, from cycle 2 on; with digital reporting (OutputMode 0)
// when the cycle's error sum is 0 or less, otherwise when it is below
// AnalogThreshold.
bool ErrorTestMet(const Workspace& ws, double trial, double errorSum);

// Whether the error test applies and stops below AnalogThreshold (every
// mode but digital reporting), so a view may draw that line.
bool StopsBelowThreshold(const Workspace& ws);

}  // namespace backprop
