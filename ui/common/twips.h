// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QWidget>

#include <cmath>

namespace backprop {

// A length in twips (1/1440 inch) in pixels at a logical resolution: the one
// conversion that every twip place and size goes through.
inline int TwipsToPixels(int twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

// A control's place given in twips from the top left of a client area,
// turned into pixels at the screen's logical resolution.
inline QRect TwipsToPixels(int left, int top, int width, int height, double dpiX, double dpiY) {
  return {TwipsToPixels(left, dpiX), TwipsToPixels(top, dpiY), TwipsToPixels(width, dpiX),
          TwipsToPixels(height, dpiY)};
}

// A place in twips: left, top, width, height.
struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  constexpr int Right() const { return left + width; }
  constexpr int Bottom() const { return top + height; }
};

// Twips across (X) and down (Y) in pixels at a widget's logical resolution.
class TwipsScale {
 public:
  explicit TwipsScale(const QWidget& widget)
      : dpiX_(widget.logicalDpiX()), dpiY_(widget.logicalDpiY()) {}

  int X(int twips) const { return TwipsToPixels(twips, dpiX_); }
  int Y(int twips) const { return TwipsToPixels(twips, dpiY_); }
  QSize Size(const TwipsRect& place) const { return {X(place.width), Y(place.height)}; }

 private:
  double dpiX_;
  double dpiY_;
};

}  // namespace backprop
