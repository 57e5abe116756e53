#pragma once

#include <QMainWindow>

#include "engine/host.h"

namespace backprop {

class CanvasView;
struct Workspace;

// The program's home window: the drawing of the net and, later, the menu
// bar that leads to every other window. It is also the engine's host.
class MainWindow : public QMainWindow, public Host {
  Q_OBJECT

 public:
  explicit MainWindow(Workspace& ws, QWidget* parent = nullptr);

  CanvasView& View() { return *view_; }

  // Host
  Canvas& MainCanvas() override;
  void YieldToEvents() override;
  void ShowWarning(const std::string& message) override;

 public slots:
  void Form_Load();

 private:
  Workspace& ws_;
  CanvasView* view_;
};

}  // namespace backprop
