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

template <typename Call>
void DeferredCanvas::Take(Call call) {
  if (!holdBack_()) {
    Flush();
    call(target_);
    return;
  }
  const bool first = held_.Empty();
  call(held_);
  if (first && onHeld_) onHeld_();
}

void DeferredCanvas::SetScale(double left, double top, double right, double bottom) {
  Take([&](Canvas& c) { c.SetScale(left, top, right, bottom); });
}
void DeferredCanvas::Clear() {
  Take([](Canvas& c) { c.Clear(); });
}
void DeferredCanvas::MoveTo(double x, double y) {
  Take([&](Canvas& c) { c.MoveTo(x, y); });
}
void DeferredCanvas::Print(std::string_view text) {
  Take([&](Canvas& c) { c.Print(text); });
}
void DeferredCanvas::EndLine() {
  Take([](Canvas& c) { c.EndLine(); });
}
void DeferredCanvas::NextZone() {
  Take([](Canvas& c) { c.NextZone(); });
}
void DeferredCanvas::ToColumn(int column) {
  Take([&](Canvas& c) { c.ToColumn(column); });
}
void DeferredCanvas::SetLineWidth(int pixels) {
  Take([&](Canvas& c) { c.SetLineWidth(pixels); });
}
void DeferredCanvas::SetLineStyle(LineStyle style) {
  Take([&](Canvas& c) { c.SetLineStyle(style); });
}
void DeferredCanvas::Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour) {
  Take([&](Canvas& c) { c.Line(x1, y1, x2, y2, colour); });
}
void DeferredCanvas::Circle(double x, double y, double radius) {
  Take([&](Canvas& c) { c.Circle(x, y, radius); });
}

}  // namespace backprop
