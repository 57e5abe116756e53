// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace backprop {

// What a secondary window may ask of the main window when the user leaves
// it: take design mode down, and show the main window again (whose focus
// routine redraws the net).
class MainWindowAccess {
 public:
  virtual ~MainWindowAccess() = default;

  virtual void LeaveDesignMode() = 0;
  virtual void ShowMainWindow() = 0;
  // A file set was loaded (its lesson note may have changed).
  virtual void FileSetLoaded() {}
};

}  // namespace backprop
