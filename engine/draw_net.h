// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/net_layout.h"

namespace backprop {

class Canvas;
class Host;
struct Workspace;

// Weights beyond this magnitude are drawn thick.
inline constexpr double kThickWeight = 0.95;

// Clears the canvas and draws the net: labels, the dotted divider, one
// circle per neurode and one line per connection, red for a negative weight
// and 3 pixels wide for a large one. Reads the workspace only.
void DrawNet(const Workspace& ws, Canvas& canvas);

// DrawNet on the host's main canvas, then tells the host the net was redrawn.
void RedrawNet(const Workspace& ws, Host& host);

}  // namespace backprop
