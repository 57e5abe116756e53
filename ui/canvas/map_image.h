// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

#include <vector>

namespace backprop {

// The decision map's colour field as a picture, one pixel per point of a
// grid laid out as OutputGrid lays it out (n x n, row 0 at the top), each
// coloured by ColourOfOutput for the output range; grey when the grid does
// not hold n x n values.
QImage MapImage(const std::vector<double>& grid, int n, double outputLow, double outputHigh);

}  // namespace backprop
