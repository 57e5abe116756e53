// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtTest>

#include <functional>

#include "engine/workspace.h"
#include "tests/support/scripted_dialogs.h"
#include "ui/canvas/canvas_view.h"
#include "ui/main/main_window.h"

namespace backprop::testing {

// A started main window over its own workspace, with boxes that answer
// themselves.
struct MainWindowFixture {
  Workspace ws;
  ScriptedDialogs dialogs;
  MainWindow window{ws, dialogs};

  MainWindowFixture() {
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
  }

  CanvasView& View() { return window.View(); }

  // The yield gate's time in nanoseconds, moved by hand, after
  // UseManualClock(); the next yield lets events run.
  qint64 clockNs = 0;
  void UseManualClock() {
    window.Gate().SetClock([this] { return clockNs; });
  }
  // A clock that moves a second at every reading: every yield lets events run.
  void OpenEveryYield() {
    window.Gate().SetClock([this] { return clockNs += 1'000'000'000; });
  }

  // The pixel of the drawing that shows user coordinates (x, y).
  QPoint PixelAt(double x, double y) {
    const QPointF p = UserToPixel(View().Canvas().Scale(), QSizeF(View().size()), QPointF(x, y));
    return p.toPoint();
  }

  // A left click on the drawing at user coordinates (x, y).
  void ClickAt(double x, double y) {
    QTest::mouseClick(&View(), Qt::LeftButton, {}, PixelAt(x, y));
  }

  QAction* Action(const char* name) { return window.findChild<QAction*>(name); }
  template <typename W>
  W* Control(const char* name) {
    return window.findChild<W*>(name);
  }
};

// Runs a check at every yield that lets events through, while a run trains.
class DuringTraining {
 public:
  explicit DuringTraining(std::function<void()> check) : check_(std::move(check)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { check_(); });
    timer_.start(1);
  }
  void Stop() { timer_.stop(); }

 private:
  std::function<void()> check_;
  QTimer timer_;
};

// How many pixels of the drawing near user coordinates (x, y) are not the
// white background.
inline int InkAround(const QImage& image, const UserScale& scale, double x, double y, double w,
                     double h) {
  const QPointF topLeft = UserToPixel(scale, QSizeF(image.size()), QPointF(x, y));
  const QPointF bottomRight = UserToPixel(scale, QSizeF(image.size()), QPointF(x + w, y + h));
  int ink = 0;
  for (int py = static_cast<int>(topLeft.y()); py < static_cast<int>(bottomRight.y()); ++py) {
    for (int px = static_cast<int>(topLeft.x()); px < static_cast<int>(bottomRight.x()); ++px) {
      if (image.pixelColor(px, py) != QColor(255, 255, 255)) ++ink;
    }
  }
  return ink;
}

}  // namespace backprop::testing
