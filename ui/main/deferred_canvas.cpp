// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/deferred_canvas.h"

#include <utility>

namespace backprop {

DeferredCanvas::DeferredCanvas(Canvas& target, std::function<bool()> holdBack,
                               std::function<void()> onHeld)
    : target_(target), holdBack_(std::move(holdBack)), onHeld_(std::move(onHeld)) {}

void DeferredCanvas::Flush() {
  // Taken out first: the target's change notices may ask for a flush again.
  CanvasCalls calls;
  std::swap(calls, held_);
  calls.ReplayOnto(target_);
}

std::span<Canvas* const> DeferredCanvas::Targets() {
  if (holdBack_()) {
    firstHeld_ = held_.Empty();
    next_[0] = &held_;
  } else {
    Flush();
    firstHeld_ = false;
    next_[0] = &target_;
  }
  return next_;
}

void DeferredCanvas::Forwarded(bool) {
  if (firstHeld_ && onHeld_) onHeld_();
  firstHeld_ = false;
}

}  // namespace backprop
