// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace backprop {

struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{255, 0, 0};

enum class LineStyle { Solid, Dotted };

// Text is laid out in print zones of this many columns.
inline constexpr int kPrintZoneColumns = 14;

// A square of n x n colours, row by row, row 0 at the top.
struct ColourField {
  int n = 0;
  std::vector<Rgb> cells;  // n * n of them
};

// A drawing surface with a user coordinate scale and a text cursor, the
// operations the net drawing, the training report, stepping and the
// parameters list are written against. Text goes to the current position
// (its top-left corner) over an opaque background, so blanks erase.
class Canvas {
 public:
  virtual ~Canvas() = default;

  // The user coordinates of the left, top, right and bottom edges.
  virtual void SetScale(double left, double top, double right, double bottom) = 0;
  // Erases everything and puts the text cursor at the top-left corner.
  virtual void Clear() = 0;
  // Moves the text cursor; a following Print starts a new text line here.
  virtual void MoveTo(double x, double y) = 0;
  // Writes text at the cursor and moves the cursor past it.
  virtual void Print(std::string_view text) = 0;
  // Ends the current text line: the cursor goes one line down, back to the
  // x where the line started.
  virtual void EndLine() = 0;
  // Moves the cursor to the start of the next 14-column print zone.
  virtual void NextZone() = 0;
  // Moves the cursor to a print column, counted from the line's start.
  virtual void ToColumn(int column) = 0;

  virtual void SetLineWidth(int pixels) = 0;
  virtual void SetLineStyle(LineStyle style) = 0;
  // A straight line in the given colour, or the foreground colour.
  virtual void Line(double x1, double y1, double x2, double y2,
                    std::optional<Rgb> colour = std::nullopt) = 0;
  // A circle outline in the foreground colour; the radius is in x units.
  virtual void Circle(double x, double y, double radius) = 0;
  // A square colour field centred at (x, y), as large as fits a box of the
  // given width and height in user units, framed in the foreground colour.
  // Surfaces that show only text ignore it.
  virtual void Field(double /*x*/, double /*y*/, double /*width*/, double /*height*/,
                     const ColourField& /*field*/) {}
};

}  // namespace backprop
