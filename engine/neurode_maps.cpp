// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/neurode_maps.h"

#include <limits>

#include "engine/canvas.h"
#include "engine/data_set.h"
#include "engine/engine_error.h"
#include "engine/net_evaluation.h"
#include "engine/net_layout.h"
#include "engine/workspace.h"

namespace backprop {

NeurodeMaps EvaluateNeurodeMaps(const Workspace& ws, int n) {
  const NetEvaluator net(ws);
  NeurodeMaps maps;
  if (net.Inputs() != 2 || n < 2) return maps;
  maps.n = n;
  maps.geometry = ValidatedGeometry(ws);
  const NetGeometry& g = maps.geometry;
  const auto points = static_cast<std::size_t>(n) * static_cast<std::size_t>(n);
  for (int k = 2; k <= g.layerCount; ++k) {
    for (int j = 1; j <= g.Size(k); ++j) maps.values[k][j].reserve(points);
  }
  // The grid points as NeurodeGrid takes them: in the user's units, then
  // scaled as a data set's inputs are.
  const double low = ws.InputRangeLow;
  const double high = ws.InputRangeHigh;
  const auto scaled = [&](int step) {
    return ScaledValue(low + (high - low) * step / (n - 1), low, high);
  };
  NetEvaluator::NodeOutputs outputs{};
  for (int row = 0; row < n; ++row) {
    for (int column = 0; column < n; ++column) {
      const double inputs[2] = {scaled(column), scaled(n - 1 - row)};
      const bool finite = net.Pass(inputs, outputs);
      for (int k = 2; k <= g.layerCount; ++k) {
        for (int j = 1; j <= g.Size(k); ++j) {
          maps.values[k][j].push_back(finite ? outputs[k][j]
                                             : std::numeric_limits<double>::quiet_NaN());
        }
      }
    }
  }
  return maps;
}

void DrawNeurodeMaps(const Workspace& ws, Canvas& canvas) {
  NeurodeMaps maps;
  try {
    maps = EvaluateNeurodeMaps(ws, kNeurodeMapPoints);
  } catch (const EngineError&) {
    return;
  }
  if (maps.n == 0) return;
  ColourField field{maps.n, {}};
  for (int k = 2; k <= maps.geometry.layerCount; ++k) {
    for (int j = 1; j <= maps.geometry.Size(k); ++j) {
      field.cells.clear();
      for (const double value : maps.values[k][j]) {
        const MapColour c = ColourOfOutput(value, kNeurodeOutputLow, kNeurodeOutputHigh);
        field.cells.push_back({c.red, c.green, c.blue});
      }
      const NetPoint at = NeurodeAt(k, j);
      canvas.Field(at.x, at.y, kNeurodeMapBox, kNeurodeMapBox, field);
    }
  }
}

}  // namespace backprop
