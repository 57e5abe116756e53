// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>

#include "engine/canvas.h"

namespace backprop {

// A canvas that writes the texts printed on it as lines of plain text, in
// the order written, and ignores the drawing. A Print after a MoveTo (or
// after an ended line) starts a new output line, further Prints continue
// it, and EndLine, the next MoveTo, Clear or Flush ends it; trailing blanks
// are removed. Print zones and columns pad the line with blanks.
class TextCanvas : public Canvas {
 public:
  explicit TextCanvas(std::ostream& out) : out_(out) {}
  ~TextCanvas() override;

  // Writes out the line still open, if any.
  void Flush();

  void SetScale(double, double, double, double) override {}
  void Clear() override { Flush(); }
  void MoveTo(double, double) override { Flush(); }
  void Print(std::string_view text) override;
  void EndLine() override { Flush(); }
  void NextZone() override;
  void ToColumn(int column) override;
  void SetLineWidth(int) override {}
  void SetLineStyle(LineStyle) override {}
  void Line(double, double, double, double, std::optional<Rgb>) override {}
  void Circle(double, double, double) override {}

 private:
  std::ostream& out_;
  std::string line_;
  bool open_ = false;
};

}  // namespace backprop
