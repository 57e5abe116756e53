// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include <cstdlib>

#include "app/start_up.h"
#include "engine/workspace.h"
#include "ui/common/dialogs.h"
#include "ui/common/window_style.h"
#include "ui/main/main_window.h"

int main(int argc, char* argv[]) {
  backprop::WindowSystemStart start;
  if (!start.Ready()) return EXIT_FAILURE;
  QApplication app(argc, argv);
  start.Done();
  QApplication::setApplicationName(backprop::kMessageBoxTitle);

  backprop::Workspace workspace;  // the one shared state, for the whole run
  backprop::MainWindow window(workspace, backprop::RealDialogs());
  window.RememberLayout();
  window.Form_Load();
  backprop::QuitWhenShownIfAsked(window);
  return QApplication::exec();
}
