#include "engine/pattern_arithmetic.h"

#include <cmath>
#include <string>

#include "engine/data_set.h"
#include "engine/engine_error.h"
#include "engine/training_sinks.h"
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
  a.geometry = ValidatedGeometry(ws);
  for (int i = 1; i <= data.inputs; ++i) {
    a.rawInputs[i] = data.Input(pattern, i).raw;
    a.scaledInputs[i] = data.Input(pattern, i).scaled;
  }
  for (int k = 1; k <= data.targets; ++k) {
    a.rawTargets[k] = data.Target(pattern, k).raw;
    a.targets[k] = data.Target(pattern, k).scaled;
  }
  // The bias outputs as training sets them; an unknown transfer code starts
  // from the slope a fresh TRAIN line starts from.
  PatternValues values;
  for (int k = 1; k <= a.geometry.layerCount; ++k) values.pass.output[k][0] = ws.BiasFlags(k);
  double slope = 0.0;
  RecordPatternStep(ws, CurrentStepParameters(ws), slope, values, a);
  return a;
}

std::string OverflowIn(const PatternArithmetic& a) {
  const NetGeometry& g = a.geometry;
  const int last = g.OutputLayer();
  for (int k = 2; k <= last; ++k) {
    for (int j = 1; j <= g.Size(k); ++j) {
      if (!std::isfinite(a.delta[k][j])) {
        return "the delta of neurode " + std::to_string(j) + " of layer " + std::to_string(k) +
               " is too large (overflow)";
      }
    }
  }
  for (int h = 1; h < last; ++h) {
    for (int i = 0; i <= g.Size(h); ++i) {
      for (int j = 1; j <= g.Size(h + 1); ++j) {
        if (!std::isfinite(a.newWeight[h][i][j])) {
          return "a weight of layer " + std::to_string(h) + " is too large (overflow)";
        }
      }
    }
  }
  if (!std::isfinite(a.errorShare)) return "the error sum is too large (overflow)";
  return {};
}

}  // namespace backprop
