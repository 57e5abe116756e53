// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <xcb/xcb.h>

namespace backprop {

class MainWindow;

// The start of the window system, around the construction of the
// QApplication. A fresh X server takes a moment before it accepts
// connections, and a program started with it (by a session script, a test,
// a kiosk) would find no display, on which Qt gives up with abort() and a
// core dump. So the display is waited for first, at most about ten seconds,
// and held open until Qt has its own connection: an X server that has just
// started resets itself when its last client leaves, and would refuse Qt
// while it does. Until Done(), a fatal Qt message ends the program with exit
// status 1 after printing it, so a start that fails, fails plainly. Nothing
// is waited for when Qt will not use X (QT_QPA_PLATFORM names another
// platform).
class WindowSystemStart {
 public:
  // Waits for the display; see Ready().
  WindowSystemStart();
  ~WindowSystemStart();
  WindowSystemStart(const WindowSystemStart&) = delete;
  WindowSystemStart& operator=(const WindowSystemStart&) = delete;

  // False when there was no display to wait for or it never answered; the
  // reason is on standard error then.
  bool Ready() const { return ready_; }
  // Qt has started: lets go of the display and of fatal messages.
  void Done();

 private:
  xcb_connection_t* display_ = nullptr;
  bool ready_ = false;
  bool done_ = false;
};

// For start tests: when the environment variable BACKPROP_QUIT_WHEN_SHOWN is
// set, the program ends through End once the window has been painted and
// the events queued by then have run. Without it, does nothing.
void QuitWhenShownIfAsked(MainWindow& window);

}  // namespace backprop
