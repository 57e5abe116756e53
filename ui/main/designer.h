// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace backprop {

struct Workspace;

// The network designer's edits of the geometry, apart from any window so
// that they can be checked on their own. Coordinates are the drawing's user
// scale: layer k at x = k, neurode j at y = j, the dotted line at y = 0.5.

// A press in design mode: above the dotted line it toggles the bias neurode
// of the nearest column; below it, it sets the nearest column's neurode
// count to the nearest row and grows the layer count to that column.
// Presses on the line, left of x = 0, right of x = 10.2 below the line or
// mapping to a column beyond the tables change nothing.
void DesignerPress(Workspace& ws, double x, double y);

// Drops the rightmost layer, never going below two layers. The dropped
// layer's size and bias flag stay in the tables.
void RemoveOneLayer(Workspace& ws);

}  // namespace backprop
