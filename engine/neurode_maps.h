// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <vector>

#include "engine/net_geometry.h"

namespace backprop {

class Canvas;
struct Workspace;

// Points per side of the grid the decision map evaluates the net on, in
// the Decision Map dock and in backprop-run's --map.
inline constexpr int kDecisionMapPoints = 100;

// Points per side of the grid each neurode's own map is evaluated on.
inline constexpr int kNeurodeMapPoints = 40;

// A neurode's own output is coloured over -1..1: every transfer function's
// outputs lie there (Linear's, which have no bounds, are held at its ends).
inline constexpr double kNeurodeOutputLow = -1.0;
inline constexpr double kNeurodeOutputHigh = 1.0;

// The output f(net) of every neurode of layers 2..L of a net of two inputs
// over the input square, computed read-only by NetEvaluator::Pass, one pass
// per point for all neurodes at once.
struct NeurodeMaps {
  int n = 0;  // points per side; 0 when the net has not two inputs
  NetGeometry geometry;
  // values[k][j]: n x n outputs of neurode j of layer k, laid out as
  // NeurodeGrid lays them out (row 0 holds input 2's high end, input 1
  // grows along a row); not a number where a net input overflows.
  std::array<std::array<std::vector<double>, kMaxNeurodes + 1>, kMaxLayers + 1> values;
};

// Evaluates the maps on an n x n grid (n at least 2). Throws EngineError for
// a net beyond the tables.
NeurodeMaps EvaluateNeurodeMaps(const Workspace& ws, int n);

// Draws each neurode of layers 2..L as the colour field of its own output
// (red at -1, white at 0, blue at 1) centred on its circle, for a net of two
// inputs; draws nothing for other nets. Reads the workspace only and never
// throws: a net that cannot be evaluated shows no maps.
void DrawNeurodeMaps(const Workspace& ws, Canvas& canvas);

}  // namespace backprop
