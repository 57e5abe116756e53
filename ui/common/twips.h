#pragma once

#include <QRect>

#include <cmath>

namespace backprop {

// A control's place given in twips (1/1440 inch) from the top left of a
// client area, turned into pixels at the screen's logical resolution.
inline QRect TwipsToPixels(int left, int top, int width, int height, double dpiX, double dpiY) {
  const auto x = [dpiX](int twips) { return static_cast<int>(std::lround(twips * dpiX / 1440.0)); };
  const auto y = [dpiY](int twips) { return static_cast<int>(std::lround(twips * dpiY / 1440.0)); };
  return {x(left), y(top), x(width), y(height)};
}

}  // namespace backprop
