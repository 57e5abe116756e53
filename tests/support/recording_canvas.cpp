// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/recording_canvas.h"

#include <cmath>

namespace backprop::testing {

std::string RecordingCanvas::TextLog() const {
  std::string log;
  for (const PlacedText& t : texts) {
    if (!log.empty()) log += "|";
    log += t.text;
  }
  return log;
}

const DrawnLine* RecordingCanvas::FindLine(double x1, double y1, double x2, double y2) const {
  for (const DrawnLine& l : lines) {
    if (std::fabs(l.x1 - x1) < 1e-9 && std::fabs(l.y1 - y1) < 1e-9 && std::fabs(l.x2 - x2) < 1e-9 &&
        std::fabs(l.y2 - y2) < 1e-9) {
      return &l;
    }
  }
  return nullptr;
}

void RecordingCanvas::Clear() {
  ++clears;
  lines.clear();
  circles.clear();
  texts.clear();
  lineOpen_ = false;
}

void RecordingCanvas::MoveTo(double x, double y) {
  cursorX_ = x;
  cursorY_ = y;
  lineOpen_ = false;
}

void RecordingCanvas::Print(std::string_view text) {
  if (!lineOpen_) {
    texts.push_back({cursorX_, cursorY_, ""});
    lineOpen_ = true;
  }
  texts.back().text += text;
}

void RecordingCanvas::EndLine() {
  lineOpen_ = false;
  cursorY_ += 1;
}

void RecordingCanvas::NextZone() { Print("<zone>"); }
void RecordingCanvas::ToColumn(int column) { Print("<col" + std::to_string(column) + ">"); }

void RecordingCanvas::Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour) {
  lines.push_back({x1, y1, x2, y2, colour.value_or(kBlack), !colour.has_value(), width, style});
}

void RecordingCanvas::Circle(double x, double y, double radius) {
  circles.push_back({x, y, radius});
}

}  // namespace backprop::testing
