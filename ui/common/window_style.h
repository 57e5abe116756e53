#pragma once

#include <QColor>
#include <QFont>

namespace backprop {

// The title of every message box the program shows.
inline constexpr const char* kMessageBoxTitle = "TEBO";

// The drawing's colours: navy text, circles and dotted line on white.
inline const QColor kDrawingForeground{0, 0, 128};
inline const QColor kDrawingBackground{255, 255, 255};

// The font of the main window's drawing and the parameters list: the
// platform's own sans-serif face at 8.25 point, bold.
QFont WindowFont();

}  // namespace backprop
