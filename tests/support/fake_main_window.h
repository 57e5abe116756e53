// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include "engine/workspace.h"
#include "ui/common/main_window_access.h"

namespace backprop::testing {

// Stands in for the main window under a secondary window: records what the
// window asks of it and, given a workspace, leaves design mode there as the
// real main window does.
class FakeMainWindow : public MainWindowAccess {
 public:
  explicit FakeMainWindow(Workspace* ws = nullptr) : ws_(ws) {}

  QStringList calls;  // "LeaveDesignMode" and "ShowMainWindow", in order

  void LeaveDesignMode() override {
    calls << "LeaveDesignMode";
    if (ws_) ws_->DesignMode = 0;
  }
  void ShowMainWindow() override { calls << "ShowMainWindow"; }
  // How often the window asked to show the main window again.
  qsizetype Shown() const { return calls.count("ShowMainWindow"); }

 private:
  Workspace* ws_;
};

}  // namespace backprop::testing
