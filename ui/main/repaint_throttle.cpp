#include "ui/main/repaint_throttle.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace backprop {

namespace {
int FrameMillisecondsOf(const QScreen* screen) {
  const double rate = screen ? screen->refreshRate() : 0.0;
  // Some platforms report no rate; 60 frames a second is the common screen.
  const double hertz = rate >= 1.0 ? rate : 60.0;
  return std::max(1, static_cast<int>(std::floor(1000.0 / hertz)));
}
}  // namespace

RepaintThrottle::RepaintThrottle(QWidget* target)
    : QObject(target), target_(target), frameMs_(FrameMillisecondsOf(QGuiApplication::primaryScreen())) {
  pending_.setSingleShot(true);
  connect(&pending_, &QTimer::timeout, this, &RepaintThrottle::RepaintNow);
}

void RepaintThrottle::Request() {
  if (pending_.isActive()) return;
  const qint64 since = sinceRepaint_.isValid() ? sinceRepaint_.elapsed() : frameMs_;
  if (since >= frameMs_) {
    RepaintNow();
  } else {
    pending_.start(static_cast<int>(frameMs_ - since));
  }
}

void RepaintThrottle::RepaintNow() {
  sinceRepaint_.start();
  target_->update();
}

}  // namespace backprop
