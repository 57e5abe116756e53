#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class QWidget;

namespace backprop {

// Repaints a widget no more often than the screen can show: a request
// within one frame of the last repaint is merged into one repaint at the
// end of that frame. Before each repaint it runs a preparation step (the
// drawing held back during training); when that step is slow, repaints are
// spaced out further, so that drawing never takes more than about a tenth
// of the time.
class RepaintThrottle : public QObject {
  Q_OBJECT

 public:
  explicit RepaintThrottle(QWidget* target, std::function<void()> prepare = {});

  // Schedules a repaint of the target, now or when the interval is over.
  void Request();
  // The shortest time between two repaints now, in milliseconds.
  qint64 IntervalMilliseconds() const;

 private:
  void RepaintNow();

  QWidget* target_;
  std::function<void()> prepare_;
  qint64 frameMs_;
  qint64 prepareMs_ = 0;  // how long the last preparation took
  bool repainting_ = false;
  QElapsedTimer sinceRepaint_;
  QTimer pending_;
};

}  // namespace backprop
