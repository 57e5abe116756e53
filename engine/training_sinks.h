#pragma once

#include "engine/pattern_arithmetic.h"
#include "engine/pattern_step.h"
#include "engine/raw_cells.h"
#include "engine/workspace.h"

// The two sinks of PatternStep: training writes every result into the
// workspace cells in place; the arithmetic view records every number and
// writes nothing.

namespace backprop {

// Pattern p from the loaded tables; node values, deltas and weights are
// overwritten in place (the cells are set already, see MarkTrainedCellsSet).
class TrainingSink {
 public:
  static constexpr CellWrite kForwardWrite = CellWrite::Overwrite;

  TrainingSink(Workspace& ws, int p, int outputLayer)
      : nodes_(ws.NodeValues.Cells()),
        deltas_(ws.Deltas.Cells()),
        inputs_(ws.ScaledInputs.Cells() + PatternCell(0, p)),
        targets_(ws.ScaledTargets.Cells() + PatternCell(0, p)),
        outputLayer_(outputLayer) {}

  double Input(int i) {
    const double value = inputs_[i].Value();
    OverwriteSetCell(nodes_[NodeCell(i, 1)], value);
    return value;
  }
  double Target(int j) const { return targets_[j].Value(); }
  void OutputError(int j, double /*target*/, double /*e*/, double /*share*/, double delta) {
    OverwriteSetCell(deltas_[NodeCell(j, outputLayer_)], delta);
  }
  void HiddenDelta(int i, int h, double delta) { OverwriteSetCell(deltas_[NodeCell(i, h)], delta); }
  static void Weight(int /*i*/, int /*j*/, int /*h*/, WorkspaceValue& cell, double weight,
                     double change) {
    OverwriteSetCell(cell, weight + change);
  }
  static void BiasWeightKept(int /*j*/, int /*h*/, double /*weight*/) {}

 private:
  WorkspaceValue* nodes_;
  WorkspaceValue* deltas_;
  const WorkspaceValue* inputs_;
  const WorkspaceValue* targets_;
  int outputLayer_;
};

// The pattern from `arithmetic` (its scaled inputs and targets); every
// number the step computes is recorded there, and nothing is written.
class RecordSink {
 public:
  static constexpr CellWrite kForwardWrite = CellWrite::None;

  explicit RecordSink(PatternArithmetic& arithmetic) : a_(arithmetic) {}

  double Input(int i) const { return a_.scaledInputs[i]; }
  double Target(int j) const { return a_.targets[j]; }
  void OutputError(int j, double /*target*/, double e, double share, double /*delta*/) {
    a_.errors[j] = e;
    a_.errorShares[j] = share;
  }
  static void HiddenDelta(int /*i*/, int /*h*/, double /*delta*/) {}
  template <typename Cell>
  void Weight(int i, int j, int h, const Cell& /*cell*/, double weight, double change) {
    a_.weight[h][i][j] = weight;
    a_.change[h][i][j] = change;
    a_.newWeight[h][i][j] = weight + change;
  }
  void BiasWeightKept(int j, int h, double weight) {
    a_.weight[h][0][j] = weight;
    a_.change[h][0][j] = 0.0;
    a_.newWeight[h][0][j] = weight;
  }

 private:
  PatternArithmetic& a_;
};

// Runs the step read-only for the pattern whose inputs and targets stand in
// `arithmetic`, and records the pass, the deltas and the error share there.
// `values` carries the bias outputs in; `carriedSlope` as for PatternStep.
inline void RecordPatternStep(const Workspace& ws, const StepParameters& parameters,
                              double& carriedSlope, PatternValues& values,
                              PatternArithmetic& arithmetic) {
  RecordSink sink(arithmetic);
  arithmetic.epsilon = parameters.epsilon;
  arithmetic.analog = parameters.analog;
  arithmetic.errorShare =
      PatternStep(ws, arithmetic.geometry, parameters, carriedSlope, values, sink);
  const NetGeometry& g = arithmetic.geometry;
  for (int k = 1; k <= g.layerCount; ++k) {
    for (int j = 0; j <= g.Size(k); ++j) {
      arithmetic.output[k][j] = values.pass.output[k][j];
      if (k >= 2 && j >= 1) {
        arithmetic.net[k][j] = values.pass.net[k][j];
        arithmetic.slope[k][j] = values.pass.slope[k][j];
        arithmetic.delta[k][j] = values.delta[k][j];
      }
    }
  }
}

}  // namespace backprop
