// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <utility>
#include <vector>

#include "engine/canvas.h"

namespace backprop {

// A canvas that passes every call on, unchanged and in order, to the
// canvases Targets() names at the time of the call, then tells Forwarded()
// whether the call changed what a picture shows (moving the cursor or
// setting the scale or the pen does not). Holding drawing back, recording a
// picture while painting it, and writing one run as text and as a picture
// at once are each one of these.
class ForwardingCanvas : public Canvas {
 public:
  // Passes every call to these canvases, first to last.
  explicit ForwardingCanvas(std::vector<Canvas*> targets = {}) : targets_(std::move(targets)) {}

  void SetScale(double left, double top, double right, double bottom) override {
    Forward([&](Canvas& c) { c.SetScale(left, top, right, bottom); }, false);
  }
  void Clear() override {
    Forward([](Canvas& c) { c.Clear(); }, true);
  }
  void MoveTo(double x, double y) override {
    Forward([&](Canvas& c) { c.MoveTo(x, y); }, false);
  }
  void Print(std::string_view text) override {
    Forward([&](Canvas& c) { c.Print(text); }, true);
  }
  void EndLine() override {
    Forward([](Canvas& c) { c.EndLine(); }, false);
  }
  void NextZone() override {
    Forward([](Canvas& c) { c.NextZone(); }, false);
  }
  void ToColumn(int column) override {
    Forward([&](Canvas& c) { c.ToColumn(column); }, false);
  }
  void SetLineWidth(int pixels) override {
    Forward([&](Canvas& c) { c.SetLineWidth(pixels); }, false);
  }
  void SetLineStyle(LineStyle style) override {
    Forward([&](Canvas& c) { c.SetLineStyle(style); }, false);
  }
  void Line(double x1, double y1, double x2, double y2,
            std::optional<Rgb> colour = std::nullopt) override {
    Forward([&](Canvas& c) { c.Line(x1, y1, x2, y2, colour); }, true);
  }
  void Circle(double x, double y, double radius) override {
    Forward([&](Canvas& c) { c.Circle(x, y, radius); }, true);
  }
  void Field(double x, double y, double width, double height, const ColourField& field) override {
    Forward([&](Canvas& c) { c.Field(x, y, width, height, field); }, true);
  }

 protected:
  // The canvases the next call goes to.
  virtual std::span<Canvas* const> Targets() { return targets_; }
  // Runs after each call has been passed on.
  virtual void Forwarded(bool /*changesPicture*/) {}

 private:
  template <typename Call>
  void Forward(Call call, bool changesPicture) {
    for (Canvas* target : Targets()) call(*target);
    Forwarded(changesPicture);
  }

  std::vector<Canvas*> targets_;
};

}  // namespace backprop
