// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/canvas_calls.h"

#include <algorithm>

namespace backprop {

namespace {
// At most this many earlier texts stay at one place when each is longer
// than the newer one; older ones are dropped.
constexpr std::size_t kRunsPerPlace = 2;
}  // namespace

void CanvasCalls::ReplayOnto(Canvas& target) const {
  for (const Call& c : calls_) {
    switch (c.kind) {
      case Kind::Dropped:
        break;
      case Kind::Scale:
        target.SetScale(c.a, c.b, c.c, c.d);
        break;
      case Kind::Clear:
        target.Clear();
        break;
      case Kind::MoveTo:
        target.MoveTo(c.a, c.b);
        break;
      case Kind::Print:
        target.Print(c.text);
        break;
      case Kind::EndLine:
        target.EndLine();
        break;
      case Kind::NextZone:
        target.NextZone();
        break;
      case Kind::ToColumn:
        target.ToColumn(c.n);
        break;
      case Kind::Width:
        target.SetLineWidth(c.n);
        break;
      case Kind::Style:
        target.SetLineStyle(c.n == 0 ? LineStyle::Solid : LineStyle::Dotted);
        break;
      case Kind::Line:
        target.Line(c.a, c.b, c.c, c.d, c.colour);
        break;
      case Kind::Circle:
        target.Circle(c.a, c.b, c.c);
        break;
      case Kind::Field:
        target.Field(c.a, c.b, c.c, c.d, fields_[static_cast<std::size_t>(c.n)]);
        break;
    }
  }
}

void CanvasCalls::Reset() {
  calls_.clear();
  fields_.clear();
  runs_.clear();
  open_.reset();
  live_ = 0;
}

void CanvasCalls::Add(Call call) {
  const bool text = call.kind == Kind::Print || call.kind == Kind::EndLine ||
                    call.kind == Kind::NextZone || call.kind == Kind::ToColumn;
  if (!text) CloseRun();
  if (call.kind == Kind::MoveTo) open_ = TextRun{call.a, call.b, calls_.size(), 0, 0};
  if (call.kind == Kind::Print && open_) open_->characters += call.text.size();
  calls_.push_back(std::move(call));
  ++live_;
  if (open_) open_->end = calls_.size();
}

void CanvasCalls::CloseRun() {
  if (!open_) return;
  const TextRun run = *open_;
  open_.reset();
  // Earlier texts at the same place: those the new one covers go, and of
  // the rest only the newest few stay.
  std::size_t kept = 0;
  for (std::size_t n = runs_.size(); n-- > 0;) {
    TextRun& earlier = runs_[n];
    if (earlier.x != run.x || earlier.y != run.y || earlier.first == earlier.end) continue;
    if (earlier.characters <= run.characters || kept >= kRunsPerPlace) {
      Drop(earlier.first, earlier.end);
      earlier.end = earlier.first;  // marks the run dropped
    } else {
      ++kept;
    }
  }
  runs_.push_back(run);
  if (calls_.size() > 64 && live_ < calls_.size() / 2) Compact();
}

void CanvasCalls::Drop(std::size_t first, std::size_t end) {
  for (std::size_t i = first; i < end; ++i) {
    if (calls_[i].kind == Kind::Dropped) continue;
    calls_[i].kind = Kind::Dropped;
    calls_[i].text.clear();
    --live_;
  }
}

void CanvasCalls::Compact() {
  std::vector<std::size_t> newIndex(calls_.size() + 1);
  std::size_t next = 0;
  for (std::size_t i = 0; i < calls_.size(); ++i) {
    newIndex[i] = next;
    if (calls_[i].kind != Kind::Dropped) calls_[next++] = std::move(calls_[i]);
  }
  newIndex[calls_.size()] = next;
  calls_.resize(next);
  std::erase_if(runs_, [](const TextRun& r) { return r.first == r.end; });
  for (TextRun& r : runs_) {
    r.first = newIndex[r.first];
    r.end = newIndex[r.end];
  }
}

void CanvasCalls::SetScale(double left, double top, double right, double bottom) {
  Add({.kind = Kind::Scale, .a = left, .b = top, .c = right, .d = bottom});
}

void CanvasCalls::Clear() {
  // The clear erases every drawing and resets the text cursor; only the
  // last scale, line width and line style carry over it.
  CloseRun();
  std::vector<Call> kept;
  for (const Kind kind : {Kind::Scale, Kind::Width, Kind::Style}) {
    const auto last = std::find_if(calls_.rbegin(), calls_.rend(),
                                   [kind](const Call& c) { return c.kind == kind; });
    if (last != calls_.rend()) kept.push_back(std::move(*last));
  }
  Reset();
  for (Call& call : kept) Add(std::move(call));
  Add({.kind = Kind::Clear});
}

void CanvasCalls::MoveTo(double x, double y) { Add({.kind = Kind::MoveTo, .a = x, .b = y}); }
void CanvasCalls::Print(std::string_view text) {
  Add({.kind = Kind::Print, .text = std::string(text)});
}
void CanvasCalls::EndLine() { Add({.kind = Kind::EndLine}); }
void CanvasCalls::NextZone() { Add({.kind = Kind::NextZone}); }
void CanvasCalls::ToColumn(int column) { Add({.kind = Kind::ToColumn, .n = column}); }
void CanvasCalls::SetLineWidth(int pixels) { Add({.kind = Kind::Width, .n = pixels}); }
void CanvasCalls::SetLineStyle(LineStyle style) {
  Add({.kind = Kind::Style, .n = style == LineStyle::Solid ? 0 : 1});
}
void CanvasCalls::Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour) {
  Add({.kind = Kind::Line, .a = x1, .b = y1, .c = x2, .d = y2, .colour = colour});
}
void CanvasCalls::Circle(double x, double y, double radius) {
  Add({.kind = Kind::Circle, .a = x, .b = y, .c = radius});
}
void CanvasCalls::Field(double x, double y, double width, double height, const ColourField& field) {
  fields_.push_back(field);
  Add({.kind = Kind::Field,
       .a = x,
       .b = y,
       .c = width,
       .d = height,
       .n = static_cast<int>(fields_.size() - 1)});
}

}  // namespace backprop
