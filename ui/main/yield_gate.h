// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <functional>
#include <utility>

namespace backprop {

// Decides when a training yield really lets window events run: only once a
// few milliseconds have passed since the last time. Processing events
// before every pattern would dominate training on large sets, while a
// click or key still stops training within a fraction of a second.
//
// A small net yields every fraction of a microsecond, where reading the
// clock itself costs a noticeable share of the run. So the gate reads it
// only every `stride` calls: the stride doubles while reads come much
// faster than needed, up to a small cap, so calls that suddenly grow slow
// are noticed within a few of them, and then it drops back to 1.
// Restart() reads at every call again, for a run whose calls may cost
// quite differently.
class YieldGate {
 public:
  // Nanoseconds on a clock that never goes back.
  using Clock = std::function<qint64()>;

  explicit YieldGate(qint64 intervalNanoseconds, Clock clock = SteadyClock)
      : interval_(intervalNanoseconds), clock_(std::move(clock)) {}

  // True when events should run now (always the first time after a
  // restart); restarts the interval when it says so.
  bool Open() {
    if (++calls_ < stride_) return false;
    calls_ = 0;
    const qint64 now = clock_();
    if (opened_) {
      const qint64 sinceRead = now - readAt_;
      if (sinceRead < interval_ / 64) {
        stride_ = std::min(stride_ * 2, kMaxStride);
      } else if (sinceRead > interval_ / 16) {
        stride_ = 1;
      }
    }
    readAt_ = now;
    if (opened_ && now - openedAt_ < interval_) return false;
    opened_ = true;
    openedAt_ = now;
    return true;
  }

  // The next Open() reads the clock and counts as the first.
  void Restart() {
    opened_ = false;
    stride_ = 1;
    calls_ = 0;
  }

  // Reads the time from another clock (tests move theirs by hand); the
  // next Open() counts as the first.
  void SetClock(Clock clock) {
    clock_ = std::move(clock);
    Restart();
  }

  // The system's monotonic clock.
  static qint64 SteadyClock() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

 private:
  static constexpr int kMaxStride = 16;

  qint64 interval_;
  Clock clock_;
  bool opened_ = false;
  qint64 openedAt_ = 0;
  qint64 readAt_ = 0;
  int stride_ = 1;
  int calls_ = 0;
};

}  // namespace backprop
