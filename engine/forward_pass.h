// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace backprop {

struct NetGeometry;
struct Workspace;

// Computes NodeValues of layers 2..LayerCount from layer 1 and the bias
// outputs already in place. With recordSlopes it stores each neurode's slope
// in Slopes, without it the net input in NetInputs. A net input that is not
// finite is a run error (EngineError), as is a geometry beyond the tables.
void ForwardPass(Workspace& ws, bool recordSlopes);

// The same on a geometry already checked by ValidatedGeometry. `slope`
// carries the last slope from pass to pass, for an unknown code.
void ForwardPass(Workspace& ws, const NetGeometry& geometry, bool recordSlopes, double& slope);

// Maps a net output from -1..1 back to OutputRangeLow..OutputRangeHigh.
double OutputToUserRange(const Workspace& ws, double y);

}  // namespace backprop
