#include "ui/main/deferred_canvas.h"

#include <algorithm>

namespace backprop {

DeferredCanvas::DeferredCanvas(Canvas& target, std::function<bool()> holdBack,
                               std::function<void()> onHeld)
    : target_(target), holdBack_(std::move(holdBack)), onHeld_(std::move(onHeld)) {}

void DeferredCanvas::Flush() {
  // Taken out first: the target's change notices may ask for a flush again.
  std::vector<Call> calls;
  calls.swap(held_);
  for (const Call& call : calls) Replay(call);
}

void DeferredCanvas::Take(Call call) {
  if (!holdBack_()) {
    Flush();
    Replay(call);
    return;
  }
  if (call.kind == Kind::Clear) {
    // The clear erases every drawing and resets the text cursor; only the
    // last scale, line width and line style carry over it.
    std::vector<Call> kept;
    for (const Kind kind : {Kind::Scale, Kind::Width, Kind::Style}) {
      const auto last = std::find_if(held_.rbegin(), held_.rend(),
                                     [kind](const Call& c) { return c.kind == kind; });
      if (last != held_.rend()) kept.push_back(std::move(*last));
    }
    held_.swap(kept);
  }
  const bool first = held_.empty();
  held_.push_back(std::move(call));
  if (first && onHeld_) onHeld_();
}

void DeferredCanvas::Replay(const Call& c) {
  switch (c.kind) {
    case Kind::Scale: target_.SetScale(c.a, c.b, c.c, c.d); break;
    case Kind::Clear: target_.Clear(); break;
    case Kind::MoveTo: target_.MoveTo(c.a, c.b); break;
    case Kind::Print: target_.Print(c.text); break;
    case Kind::EndLine: target_.EndLine(); break;
    case Kind::NextZone: target_.NextZone(); break;
    case Kind::ToColumn: target_.ToColumn(c.n); break;
    case Kind::Width: target_.SetLineWidth(c.n); break;
    case Kind::Style: target_.SetLineStyle(c.n == 0 ? LineStyle::Solid : LineStyle::Dotted); break;
    case Kind::Line: target_.Line(c.a, c.b, c.c, c.d, c.colour); break;
    case Kind::Circle: target_.Circle(c.a, c.b, c.c); break;
  }
}

void DeferredCanvas::SetScale(double left, double top, double right, double bottom) {
  Take({.kind = Kind::Scale, .a = left, .b = top, .c = right, .d = bottom});
}
void DeferredCanvas::Clear() { Take({.kind = Kind::Clear}); }
void DeferredCanvas::MoveTo(double x, double y) { Take({.kind = Kind::MoveTo, .a = x, .b = y}); }
void DeferredCanvas::Print(std::string_view text) {
  Take({.kind = Kind::Print, .text = std::string(text)});
}
void DeferredCanvas::EndLine() { Take({.kind = Kind::EndLine}); }
void DeferredCanvas::NextZone() { Take({.kind = Kind::NextZone}); }
void DeferredCanvas::ToColumn(int column) { Take({.kind = Kind::ToColumn, .n = column}); }
void DeferredCanvas::SetLineWidth(int pixels) { Take({.kind = Kind::Width, .n = pixels}); }
void DeferredCanvas::SetLineStyle(LineStyle style) {
  Take({.kind = Kind::Style, .n = style == LineStyle::Solid ? 0 : 1});
}
void DeferredCanvas::Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour) {
  Take({.kind = Kind::Line, .a = x1, .b = y1, .c = x2, .d = y2, .colour = colour});
}
void DeferredCanvas::Circle(double x, double y, double radius) {
  Take({.kind = Kind::Circle, .a = x, .b = y, .c = radius});
}

}  // namespace backprop
