#pragma once

#include <QElapsedTimer>

namespace backprop {

// Decides when a training yield really lets window events run: only once a
// few milliseconds have passed since the last time. Processing events
// before every pattern would dominate training on large sets, while a
// click or key still stops training within a fraction of a second.
class YieldGate {
 public:
  explicit YieldGate(qint64 intervalNanoseconds) : interval_(intervalNanoseconds) {}

  // True when events should run now (always the first time); restarts the
  // interval when it says so.
  bool Open() {
    if (clock_.isValid() && clock_.nsecsElapsed() < interval_) return false;
    clock_.start();
    return true;
  }

 private:
  qint64 interval_;
  QElapsedTimer clock_;
};

}  // namespace backprop
