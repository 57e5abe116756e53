// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>

#include "engine/canvas_calls.h"
#include "engine/forwarding_canvas.h"

namespace backprop {

// A canvas in front of another that, while told to, holds the drawing back
// and hands it over only when Flush() is called. The calls are held in a
// CanvasCalls list, which drops what a later Clear or text would cover; so
// however often training redraws the net, the real surface only draws what
// the screen will show. Without holding back, every call goes straight
// through, after whatever is still held.
class DeferredCanvas : public ForwardingCanvas {
 public:
  // holdBack says, at every call, whether to hold the drawing back;
  // onHeld is called when something new is held (to schedule a flush).
  DeferredCanvas(Canvas& target, std::function<bool()> holdBack, std::function<void()> onHeld);

  // Draws everything held back onto the target.
  void Flush();

 protected:
  std::span<Canvas* const> Targets() override;
  void Forwarded(bool changesPicture) override;

 private:
  Canvas& target_;
  std::function<bool()> holdBack_;
  std::function<void()> onHeld_;
  CanvasCalls held_;
  std::array<Canvas*, 1> next_{};  // where the call being forwarded goes
  bool firstHeld_ = false;         // it is the first call held since a flush
};

}  // namespace backprop
