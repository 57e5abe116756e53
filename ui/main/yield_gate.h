#pragma once

#include <QtGlobal>

#include <chrono>
#include <functional>
#include <utility>

namespace backprop {

// Decides when a training yield really lets window events run: only once a
// few milliseconds have passed since the last time. Processing events
// before every pattern would dominate training on large sets, while a
// click or key still stops training within a fraction of a second.
class YieldGate {
 public:
  // Nanoseconds on a clock that never goes back.
  using Clock = std::function<qint64()>;

  explicit YieldGate(qint64 intervalNanoseconds, Clock clock = SteadyClock)
      : interval_(intervalNanoseconds), clock_(std::move(clock)) {}

  // True when events should run now (always the first time); restarts the
  // interval when it says so.
  bool Open() {
    const qint64 now = clock_();
    if (opened_ && now - openedAt_ < interval_) return false;
    opened_ = true;
    openedAt_ = now;
    return true;
  }

  // Reads the time from another clock (tests move theirs by hand); the
  // next Open() counts as the first.
  void SetClock(Clock clock) {
    clock_ = std::move(clock);
    opened_ = false;
  }

  // The system's monotonic clock.
  static qint64 SteadyClock() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

 private:
  qint64 interval_;
  Clock clock_;
  bool opened_ = false;
  qint64 openedAt_ = 0;
};

}  // namespace backprop
