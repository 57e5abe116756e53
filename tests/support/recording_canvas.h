// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/canvas.h"
#include "engine/host.h"

namespace backprop::testing {

struct DrawnLine {
  double x1, y1, x2, y2;
  Rgb colour;
  bool foreground;
  int width;
  LineStyle style;
};

struct DrawnCircle {
  double x, y, radius;
};

// Text written at one position: the position set by MoveTo and everything
// printed after it until the next MoveTo or line end.
struct PlacedText {
  double x, y;
  std::string text;
};

// A canvas that remembers what was drawn, for checking drawings headless.
class RecordingCanvas : public Canvas {
 public:
  std::vector<DrawnLine> lines;
  std::vector<DrawnCircle> circles;
  std::vector<PlacedText> texts;
  int clears = 0;
  int width = 1;
  LineStyle style = LineStyle::Solid;

  // Every text written since the last Clear, joined by "|".
  std::string TextLog() const;
  // Lines drawn from (x1, y1) to (x2, y2).
  const DrawnLine* FindLine(double x1, double y1, double x2, double y2) const;

  void SetScale(double, double, double, double) override {}
  void Clear() override;
  void MoveTo(double x, double y) override;
  void Print(std::string_view text) override;
  void EndLine() override;
  void NextZone() override;
  void ToColumn(int column) override;
  void SetLineWidth(int pixels) override { width = pixels; }
  void SetLineStyle(LineStyle s) override { style = s; }
  void Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour) override;
  void Circle(double x, double y, double radius) override;

 private:
  double cursorX_ = 0, cursorY_ = 0;
  bool lineOpen_ = false;
};

// A host whose canvas records and whose yield runs a scripted callback.
class ScriptedHost : public Host {
 public:
  RecordingCanvas canvas;
  std::vector<std::string> warnings;
  int yields = 0;
  std::function<void(int yieldNumber)> onYield;

  Canvas& MainCanvas() override { return canvas; }
  void YieldToEvents() override {
    ++yields;
    if (onYield) onYield(yields);
  }
  void ShowWarning(const std::string& message) override { warnings.push_back(message); }
};

}  // namespace backprop::testing
