// SPDX-License-Identifier: GPL-3.0-or-later
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
// drawing held back during training, a chart's new points); when that step
// is slow, repaints are spaced out further, so that drawing never takes more
// than a given share of the time (a tenth unless said otherwise).
class RepaintThrottle : public QObject {
  Q_OBJECT

 public:
  // How a throttle counts the cost of a repaint: the preparation alone (the
  // widget's own painting is cheap), or the preparation and the painting,
  // which then happens at once.
  enum class Cost { Preparation, PreparationAndPainting };

  explicit RepaintThrottle(QWidget* target, std::function<void()> prepare = {}, int share = 10,
                           Cost cost = Cost::Preparation);

  // Schedules a repaint of the target, now or when the interval is over.
  void Request();
  // The shortest time between two repaints now, in milliseconds.
  qint64 IntervalMilliseconds() const;

 private:
  void RepaintNow();

  QWidget* target_;
  std::function<void()> prepare_;
  qint64 frameMs_;
  int share_;  // drawing takes at most one part in this many
  Cost cost_;
  qint64 prepareMs_ = 0;  // how long the last preparation (and painting) took
  bool repainting_ = false;
  QElapsedTimer sinceRepaint_;
  QTimer pending_;
};

}  // namespace backprop
