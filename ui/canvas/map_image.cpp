// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/canvas/map_image.h"

#include "engine/net_evaluation.h"

namespace backprop {

QImage MapImage(const std::vector<double>& grid, int n, double outputLow, double outputHigh) {
  QImage image(n, n, QImage::Format_RGB32);
  if (grid.size() != static_cast<std::size_t>(n) * static_cast<std::size_t>(n)) {
    image.fill(Qt::gray);
    return image;
  }
  for (int row = 0; row < n; ++row) {
    for (int column = 0; column < n; ++column) {
      const std::size_t at = static_cast<std::size_t>(row) * static_cast<std::size_t>(n) +
                             static_cast<std::size_t>(column);
      const MapColour c = ColourOfOutput(grid[at], outputLow, outputHigh);
      image.setPixel(column, row, qRgb(c.red, c.green, c.blue));
    }
  }
  return image;
}

}  // namespace backprop
