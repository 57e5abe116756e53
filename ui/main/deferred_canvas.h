#pragma once

#include <functional>
#include <optional>

#include "engine/canvas.h"
#include "engine/canvas_calls.h"

namespace backprop {

// A canvas in front of another that, while told to, holds the drawing back
// and hands it over only when Flush() is called. The calls are held in a
// CanvasCalls list, which drops what a later Clear or text would cover; so
// however often training redraws the net, the real surface only draws what
// the screen will show. Without holding back, every call goes straight
// through.
class DeferredCanvas : public Canvas {
 public:
  // holdBack says, at every call, whether to hold the drawing back;
  // onHeld is called when something new is held (to schedule a flush).
  DeferredCanvas(Canvas& target, std::function<bool()> holdBack, std::function<void()> onHeld);

  // Draws everything held back onto the target.
  void Flush();
  // Whether anything is held back.
  bool Holding() const { return !held_.Empty(); }

  void SetScale(double left, double top, double right, double bottom) override;
  void Clear() override;
  void MoveTo(double x, double y) override;
  void Print(std::string_view text) override;
  void EndLine() override;
  void NextZone() override;
  void ToColumn(int column) override;
  void SetLineWidth(int pixels) override;
  void SetLineStyle(LineStyle style) override;
  void Line(double x1, double y1, double x2, double y2,
            std::optional<Rgb> colour = std::nullopt) override;
  void Circle(double x, double y, double radius) override;

 private:
  // Holds the call back or, when not holding back, passes it on.
  template <typename Call>
  void Take(Call call);

  Canvas& target_;
  std::function<bool()> holdBack_;
  std::function<void()> onHeld_;
  CanvasCalls held_;
};

}  // namespace backprop
