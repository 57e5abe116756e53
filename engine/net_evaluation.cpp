// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/net_evaluation.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/data_set.h"
#include "engine/engine_error.h"
#include "engine/forward_pass.h"
#include "engine/pattern_step.h"
#include "engine/workspace.h"

namespace backprop {

NetEvaluator::NetEvaluator(const Workspace& ws) : ws_(ws), geometry_(ValidatedGeometry(ws)) {}

bool NetEvaluator::Pass(const double* scaledInputs, NodeOutputs& outputs) const {
  // The pass runs on rows of its own: the workspace is only read.
  Row net[kMaxLayers + 1];
  Row output[kMaxLayers + 1];
  Row slope[kMaxLayers + 1];
  PassRows rows;
  for (int k = 1; k <= geometry_.layerCount; ++k) {
    rows.net[k] = net[k].data();
    rows.output[k] = output[k].data();
    rows.slope[k] = slope[k].data();
    output[k][0] = ws_.BiasFlags(k);
  }
  if (geometry_.layerCount >= 1) {
    for (int i = 1; i <= Inputs(); ++i) output[1][i] = scaledInputs[i - 1];
  }
  try {
    double carried = 0.0;
    ForwardLayers(ws_.Weights, geometry_, TransferCodeOf(ws_.TransferFunction), carried, rows);
  } catch (const EngineError&) {
    return false;
  }
  for (int k = 1; k <= geometry_.layerCount; ++k) {
    for (int j = 0; j <= geometry_.Size(k); ++j) outputs[k][j] = output[k][j];
  }
  return true;
}

double NetEvaluator::Output(const double* inputs, int output) const {
  double scaled[kMaxNeurodes];
  for (int i = 1; i <= Inputs(); ++i) {
    scaled[i - 1] = ScaledValue(inputs[i - 1], ws_.InputRangeLow, ws_.InputRangeHigh);
  }
  NodeOutputs outputs{};
  if (!Pass(scaled, outputs)) return std::numeric_limits<double>::quiet_NaN();
  return OutputToUserRange(ws_, outputs[geometry_.OutputLayer()][output]);
}

std::vector<double> NeurodeGrid(const Workspace& ws, int layer, int neurode, int n) {
  const NetEvaluator net(ws);
  const NetGeometry geometry = ValidatedGeometry(ws);
  if (net.Inputs() != 2 || layer < 2 || layer > geometry.layerCount || neurode < 1 ||
      neurode > geometry.Size(layer) || n < 2) {
    return {};
  }
  const double low = ws.InputRangeLow;
  const double high = ws.InputRangeHigh;
  const auto at = [&](int step) { return low + (high - low) * step / (n - 1); };
  std::vector<double> grid;
  grid.reserve(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
  NetEvaluator::NodeOutputs outputs{};
  for (int row = 0; row < n; ++row) {
    for (int column = 0; column < n; ++column) {
      const double scaled[2] = {ScaledValue(at(column), low, high),
                                ScaledValue(at(n - 1 - row), low, high)};
      grid.push_back(net.Pass(scaled, outputs) ? outputs[layer][neurode]
                                               : std::numeric_limits<double>::quiet_NaN());
    }
  }
  return grid;
}

std::vector<double> OutputGrid(const Workspace& ws, int output, int n) {
  const NetEvaluator net(ws);
  if (net.Inputs() != 2 || output < 1 || output > net.Outputs() || n < 2) return {};
  const double low = ws.InputRangeLow;
  const double high = ws.InputRangeHigh;
  const auto at = [&](int step) { return low + (high - low) * step / (n - 1); };
  std::vector<double> grid;
  grid.reserve(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
  for (int row = 0; row < n; ++row) {
    for (int column = 0; column < n; ++column) {
      const double inputs[2] = {at(column), at(n - 1 - row)};
      grid.push_back(net.Output(inputs, output));
    }
  }
  return grid;
}

MapColour ColourOfOutput(double value, double low, double high) {
  if (!std::isfinite(value) || !(high != low)) return {160, 160, 160};
  // 0 at the low end, 1 at the high end.
  const double t = std::clamp((value - low) / (high - low), 0.0, 1.0);
  const auto channel = [](double v) { return static_cast<int>(std::lround(255.0 * v)); };
  if (t <= 0.5) {
    const int other = channel(2.0 * t);  // red to white
    return {255, other, other};
  }
  const int other = channel(2.0 * (1.0 - t));  // white to blue
  return {other, other, 255};
}

}  // namespace backprop
