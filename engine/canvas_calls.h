// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/canvas.h"

namespace backprop {

// The canvas calls that make up what a canvas shows, kept so they can be
// replayed onto another canvas: a surface of another size, a vector
// picture, or the screen once training lets it draw. A Clear drops every
// call before it (only the last scale, line width and line style carry
// over it), and a text written again at the place where an earlier text
// started replaces it when it is at least as long, since its opaque
// background covers the earlier one; so the list stays as short as the
// picture, however long training keeps reporting over the same net.
class CanvasCalls : public Canvas {
 public:
  // Replays every kept call onto the target, in order.
  void ReplayOnto(Canvas& target) const;
  // Drops everything.
  void Reset();
  bool Empty() const { return live_ == 0; }

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
  void Field(double x, double y, double width, double height, const ColourField& field) override;

 private:
  enum class Kind {
    Dropped,
    Scale,
    Clear,
    MoveTo,
    Print,
    EndLine,
    NextZone,
    ToColumn,
    Width,
    Style,
    Line,
    Circle,
    Field
  };
  // One call with its arguments.
  struct Call {
    Kind kind = Kind::Dropped;
    double a = 0, b = 0, c = 0, d = 0;
    int n = 0;
    std::optional<Rgb> colour{};
    std::string text{};
  };
  // A run of text calls that starts with a MoveTo: its place, where it
  // starts in the list, and how many characters it prints.
  struct TextRun {
    double x = 0, y = 0;
    std::size_t first = 0;
    std::size_t end = 0;  // one past its last call
    std::size_t characters = 0;
  };

  void Add(Call call);
  // Ends the text run in progress, if any, and drops the runs it covers.
  void CloseRun();
  void Drop(std::size_t first, std::size_t end);
  // Removes dropped calls once they are many; run positions are rebuilt.
  void Compact();

  std::vector<Call> calls_;
  std::vector<ColourField> fields_;  // a Field call's n indexes them
  std::size_t live_ = 0;
  std::vector<TextRun> runs_;    // closed runs, oldest first
  std::optional<TextRun> open_;  // the run being written
};

}  // namespace backprop
