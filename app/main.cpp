#include <QApplication>

#include "engine/workspace.h"
#include "ui/common/dialogs.h"
#include "ui/main/main_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("TEBO");

  backprop::Workspace workspace;  // the one shared state, for the whole run
  backprop::MainWindow window(workspace, backprop::RealDialogs());
  window.RememberLayout();
  window.Form_Load();
  return QApplication::exec();
}
