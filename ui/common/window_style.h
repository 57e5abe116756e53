// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>

class QWidget;

namespace backprop {

// The program's short title, spelled here only: the title of every message
// box it shows and its application name.
inline constexpr const char* kMessageBoxTitle = "TEBO";

// The drawing's colours: navy text, circles and dotted line on white.
inline const QColor kDrawingForeground{0, 0, 128};
inline const QColor kDrawingBackground{255, 255, 255};

// The font of the main window's drawing and the parameters list: the
// platform's own sans-serif face at 8.25 point, bold.
QFont WindowFont();

// A secondary window's identity: the object name the tests find it by, its
// title, and deletion when closed, since the main window opens a new one
// each time.
void NameSecondaryWindow(QWidget& window, const char* objectName, const char* title);

}  // namespace backprop
