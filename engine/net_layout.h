// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

namespace backprop {

// Where the drawing of the net puts things, in the main window's user
// coordinates (x grows to the right, y downwards). The drawing, the hit
// test, the designer, the docks' marks and the neurode maps all read their
// positions here.

// The user scale of the whole drawing area.
inline constexpr double kNetScaleLeft = 0.0;
inline constexpr double kNetScaleTop = -1.0;
inline constexpr double kNetScaleRight = 11.0;
inline constexpr double kNetScaleBottom = 10.0;

// A point of the drawing.
struct NetPoint {
  double x = 0.0;
  double y = 0.0;
};

// Neurode j (0 the bias neurode) of layer k: layer k at x = k, row j at y = j.
constexpr NetPoint NeurodeAt(int layer, int node) {
  return {static_cast<double>(layer), static_cast<double>(node)};
}

// The layer column and the row nearest to a coordinate; halves go up.
inline int NearestLayer(double x) { return static_cast<int>(std::floor(x + 0.5)); }
inline int NearestRow(double y) { return static_cast<int>(std::floor(y + 0.5)); }

// A neurode's circle, its radius in x units.
inline constexpr double kNeurodeRadius = 0.1;

// The dotted divider between the bias row above and the active rows below.
inline constexpr double kDividerY = 0.5;
inline constexpr double kDividerLeft = 1.0;
inline constexpr double kDividerRight = 9.0;

// Where the row labels start.
inline constexpr NetPoint kBiasLabelAt{0.2, -0.7};
inline constexpr NetPoint kActiveLabelAt{0.2, 0.6};

// Where a training cycle's report writes "Trial=" and "Error=".
inline constexpr NetPoint kTrialReportAt{5.0, 1.0};
inline constexpr NetPoint kErrorReportAt{6.5, 1.0};

// A neurode's map is a square centred on the neurode, as large as fits a
// box this many user units wide and high: it stays clear of the next row
// and of the values stepping writes above the neurode.
inline constexpr double kNeurodeMapBox = 0.44;

}  // namespace backprop
