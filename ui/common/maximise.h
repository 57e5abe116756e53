// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace backprop {

// Shows a window maximised. Without a window manager (a bare X server, the
// offscreen platform) the maximised state alone does nothing, so the window
// is also given the screen's available area.
void ShowMaximised(QWidget* window);

}  // namespace backprop
