// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/pattern_arithmetic.h"

#include <string>

#include "engine/data_set.h"
#include "engine/engine_error.h"
#include "engine/workspace.h"

namespace backprop {

PatternArithmetic ExplainPattern(const Workspace& ws, int set, int pattern) {
  return ExplainPattern(ws, ReadDataSet(ws, set, true), set, pattern);
}

PatternArithmetic ExplainPattern(const Workspace& ws, const DataSetValues& data, int set,
                                 int pattern) {
  if (data.patterns == 0) throw EngineError("the data set has no patterns");
  if (pattern < 1 || pattern > data.patterns) {
    throw EngineError("pattern " + std::to_string(pattern) + " is not in 1.." +
                      std::to_string(data.patterns));
  }
  PatternArithmetic a;
  a.set = set;
  a.pattern = pattern;
  a.patternCount = data.patterns;
  const NetGeometry geometry = ValidatedGeometry(ws);
  double inputs[kMaxNeurodes + 1] = {};
  double targets[kMaxNeurodes + 1] = {};
  for (int i = 1; i <= data.inputs; ++i) {
    a.rawInputs[i] = data.Input(pattern, i).raw;
    inputs[i] = data.Input(pattern, i).scaled;
  }
  for (int k = 1; k <= data.targets; ++k) {
    a.rawTargets[k] = data.Target(pattern, k).raw;
    targets[k] = data.Target(pattern, k).scaled;
  }
  // A copy of the net, with the bias outputs as training sets them; an
  // unknown transfer code starts from the slope a fresh TRAIN line starts from.
  WeightTable weights = ws.Weights;
  NodeTable nodes = ws.NodeValues;
  NodeTable slopes = ws.Slopes;
  NodeTable deltas = ws.Deltas;
  for (int k = 1; k <= geometry.layerCount; ++k) nodes(0, k) = ws.BiasFlags(k);
  weights.MatchSpare();
  nodes.MatchSpare();
  slopes.MatchSpare();
  deltas.MatchSpare();
  double slope = 0.0;
  TrainPattern({weights, nodes, slopes, deltas}, geometry, inputs, targets,
               CurrentStepParameters(ws), slope, &a);
  return a;
}

}  // namespace backprop
