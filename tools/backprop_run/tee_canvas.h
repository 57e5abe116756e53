#pragma once

#include "engine/canvas.h"

namespace backprop {

// A canvas that forwards every call to two others, so one run can be
// written as text and painted as a picture at once.
class TeeCanvas : public Canvas {
 public:
  TeeCanvas(Canvas& first, Canvas& second) : first_(first), second_(second) {}

  void SetScale(double left, double top, double right, double bottom) override {
    first_.SetScale(left, top, right, bottom);
    second_.SetScale(left, top, right, bottom);
  }
  void Clear() override {
    first_.Clear();
    second_.Clear();
  }
  void MoveTo(double x, double y) override {
    first_.MoveTo(x, y);
    second_.MoveTo(x, y);
  }
  void Print(std::string_view text) override {
    first_.Print(text);
    second_.Print(text);
  }
  void EndLine() override {
    first_.EndLine();
    second_.EndLine();
  }
  void NextZone() override {
    first_.NextZone();
    second_.NextZone();
  }
  void ToColumn(int column) override {
    first_.ToColumn(column);
    second_.ToColumn(column);
  }
  void SetLineWidth(int pixels) override {
    first_.SetLineWidth(pixels);
    second_.SetLineWidth(pixels);
  }
  void SetLineStyle(LineStyle style) override {
    first_.SetLineStyle(style);
    second_.SetLineStyle(style);
  }
  void Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour) override {
    first_.Line(x1, y1, x2, y2, colour);
    second_.Line(x1, y1, x2, y2, colour);
  }
  void Circle(double x, double y, double radius) override {
    first_.Circle(x, y, radius);
    second_.Circle(x, y, radius);
  }

 private:
  Canvas& first_;
  Canvas& second_;
};

}  // namespace backprop
