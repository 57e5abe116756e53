#pragma once

namespace backprop {

class Canvas;
class Host;
struct Workspace;

// Main-window drawing coordinates: layer k at x = k, neurode j at y = j,
// bias neurodes at y = 0 above the dotted line at y = 0.5.
inline constexpr double kNetScaleLeft = 0.0;
inline constexpr double kNetScaleTop = -1.0;
inline constexpr double kNetScaleRight = 11.0;
inline constexpr double kNetScaleBottom = 10.0;

// A neurode's circle, its radius in x units.
inline constexpr double kNeurodeRadius = 0.1;

// Weights beyond this magnitude are drawn thick.
inline constexpr double kThickWeight = 0.95;

// Clears the canvas and draws the net: labels, the dotted divider, one
// circle per neurode and one line per connection, red for a negative weight
// and 3 pixels wide for a large one. Reads the workspace only.
void DrawNet(const Workspace& ws, Canvas& canvas);

// DrawNet on the host's main canvas, then tells the host the net was redrawn.
void RedrawNet(const Workspace& ws, Host& host);

}  // namespace backprop
