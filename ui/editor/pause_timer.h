// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

namespace backprop {

// Waits for a pause: every Restart() starts the wait again, and Elapsed()
// fires once a whole wait has passed without one. The editor checks its
// text after such a pause, so typing never waits on a check; tests put a
// timer of their own in its place and fire it when they choose.
class PauseTimer : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // Starts the wait again from now.
  virtual void Restart() = 0;
  // Forgets a wait in progress.
  virtual void Stop() = 0;

 signals:
  void Elapsed();
};

// The pause on a QTimer of `milliseconds`.
class QtPauseTimer : public PauseTimer {
  Q_OBJECT

 public:
  explicit QtPauseTimer(int milliseconds, QObject* parent = nullptr) : PauseTimer(parent) {
    timer_.setSingleShot(true);
    timer_.setInterval(milliseconds);
    connect(&timer_, &QTimer::timeout, this, &PauseTimer::Elapsed);
  }
  void Restart() override { timer_.start(); }
  void Stop() override { timer_.stop(); }

 private:
  QTimer timer_;
};

}  // namespace backprop
