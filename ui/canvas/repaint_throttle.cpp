// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/canvas/repaint_throttle.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

#include "ui/canvas/vector_state.h"

namespace backprop {

namespace {

qint64 FrameMillisecondsOf(const QScreen* screen) {
  const double rate = screen ? screen->refreshRate() : 0.0;
  // Some platforms report no rate; 60 frames a second is the common screen.
  const double hertz = rate >= 1.0 ? rate : 60.0;
  return std::max<qint64>(1, static_cast<qint64>(std::floor(1000.0 / hertz)));
}

}  // namespace

RepaintThrottle::RepaintThrottle(QWidget* target, std::function<void()> prepare, int share,
                                 Cost cost)
    : QObject(target),
      target_(target),
      prepare_(std::move(prepare)),
      frameMs_(FrameMillisecondsOf(QGuiApplication::primaryScreen())),
      share_(std::max(1, share)),
      cost_(cost) {
  pending_.setSingleShot(true);
  connect(&pending_, &QTimer::timeout, this, &RepaintThrottle::RepaintNow);
}

qint64 RepaintThrottle::IntervalMilliseconds() const {
  return std::max(frameMs_, prepareMs_ * share_);
}

void RepaintThrottle::Request() {
  // Changes made by the preparation itself are shown by this very repaint.
  if (repainting_ || pending_.isActive()) return;
  const qint64 interval = IntervalMilliseconds();
  const qint64 since = sinceRepaint_.isValid() ? sinceRepaint_.elapsed() : interval;
  if (since >= interval) {
    RepaintNow();
  } else {
    pending_.start(static_cast<int>(interval - since));
  }
}

void RepaintThrottle::RepaintNow() {
  repainting_ = true;
  sinceRepaint_.start();
  // The preparation is the engine's arithmetic (a map, a table): it must not
  // pay for vector state that earlier painting left behind.
  ClearUpperVectorState();
  if (prepare_) prepare_();
  if (cost_ == Cost::PreparationAndPainting) {
    target_->repaint();
  } else {
    target_->update();
  }
  // Rounded up, so a cheap repaint still spaces the next one out a little.
  prepareMs_ = (sinceRepaint_.nsecsElapsed() + 999'999) / 1'000'000;
  ClearUpperVectorState();
  repainting_ = false;
}

}  // namespace backprop
