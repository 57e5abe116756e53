#include "ui/main/main_window.h"

#include <QApplication>

#include "engine/draw_net.h"
#include "engine/workspace.h"
#include "ui/canvas/canvas_view.h"
#include "ui/common/dialogs.h"
#include "ui/common/maximise.h"

namespace backprop {

namespace {
QFont MainFont() {
  QFont font = QApplication::font();
  font.setPointSizeF(8.25);
  font.setBold(true);
  return font;
}
}  // namespace

MainWindow::MainWindow(Workspace& ws, QWidget* parent)
    : QMainWindow(parent),
      ws_(ws),
      view_(new CanvasView(MainFont(), QColor(0, 0, 128), QColor(255, 255, 255), this)) {
  setWindowTitle("BACKPROPAGATION");
  setCentralWidget(view_);
}

void MainWindow::Form_Load() {
  ShowMaximised(this);
  ws_.DesignMode = 0;
  if (ws_.AboutShown == 0) ApplyDefaults(ws_);
  DrawNet(ws_, MainCanvas());
}

Canvas& MainWindow::MainCanvas() { return view_->Canvas(); }

void MainWindow::YieldToEvents() { QApplication::processEvents(); }

void MainWindow::ShowWarning(const std::string& message) {
  QString text = QString::fromStdString(message);
  text.remove('\r');
  RealDialogs().Warning(this, "TEBO", text);
}

}  // namespace backprop
