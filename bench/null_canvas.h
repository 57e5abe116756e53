// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/canvas.h"

namespace backprop {

// A canvas that draws nothing, for runs whose drawing nobody looks at:
// benchmarks of the engine alone and the heap soak.
class NullCanvas : public Canvas {
 public:
  void SetScale(double, double, double, double) override {}
  void Clear() override {}
  void MoveTo(double, double) override {}
  void Print(std::string_view) override {}
  void EndLine() override {}
  void NextZone() override {}
  void ToColumn(int) override {}
  void SetLineWidth(int) override {}
  void SetLineStyle(LineStyle) override {}
  void Line(double, double, double, double, std::optional<Rgb>) override {}
  void Circle(double, double, double) override {}
};

}  // namespace backprop
