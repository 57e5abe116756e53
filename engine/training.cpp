#include "engine/training.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/canvas.h"
#include "engine/data_set.h"
#include "engine/draw_net.h"
#include "engine/engine_error.h"
#include "engine/forward_pass_cells.h"
#include "engine/host.h"
#include "engine/net_geometry.h"
#include "engine/report_text.h"
#include "engine/whole_number.h"
#include "engine/workspace.h"

// Training runs on the workspace cells themselves: other windows may read
// the weights and node values at any yield, so nothing is kept in a private
// copy across one. The geometry cannot change while training (every command
// that could change it is refused while Busy is 1), so it is checked once and
// the per-pattern loops then index the raw cells. The parameters can change
// at a yield (the Parameters window stays usable), so they are read again
// after every one.

namespace backprop {

namespace {

// A cycle counter or show rate "taken as a whole number": rounded, halves
// to even, and within 32 bits, the range of the modulo's integer operands.
std::int64_t WholeNumber(double value, const char* what) {
  return CheckedWhole(value, std::numeric_limits<std::int32_t>::min(),
                      std::numeric_limits<std::int32_t>::max(), what);
}

// Raw views of the tables one pattern's training touches.
struct TrainingCells {
  explicit TrainingCells(Workspace& ws)
      : nodes(ws.NodeValues.Cells()),
        weights(ws.Weights.Cells()),
        slopes(ws.Slopes.Cells()),
        deltas(ws.Deltas.Cells()),
        inputs(ws.ScaledInputs.Cells()),
        targets(ws.ScaledTargets.Cells()) {}

  WorkspaceValue* nodes;
  WorkspaceValue* weights;
  const WorkspaceValue* slopes;
  WorkspaceValue* deltas;
  const WorkspaceValue* inputs;
  const WorkspaceValue* targets;
};

// What one pattern's back-propagation reads besides the cells: the pass's
// outputs and slopes and the deltas, as plain numbers.
struct PatternValues {
  PassValues pass;
  double delta[kMaxLayers + 1][kMaxNeurodes + 1];
};

// The deltas of layer h (layer 1 and the bias neurodes get none) and the
// update of the weights from layer h, which the deltas read before it
// changes. Column by column (one target at a time), so the inner loops run
// over neighbouring cells.
void BackpropagateLayer(const TrainingCells& cells, const NetGeometry& geometry, int h,
                        double epsilon, PatternValues& values) {
  const int sources = geometry.Size(h);
  const int targets = geometry.Size(h + 1);
  const double* output = values.pass.output[h];
  const double* slope = values.pass.slope[h];
  const double* nextDelta = values.delta[h + 1];
  double* sum = values.delta[h];  // the deltas of layer h, when it is hidden
  // A bias weight changes only while its bias output is on.
  const bool biasOn = output[0] != 0.0;
  const bool hidden = h >= 2;
  for (int j = 1; j <= targets; ++j) {
    const double delta = nextDelta[j];
    const double step = delta * epsilon;
    WorkspaceValue* column = cells.weights + WeightCell(0, j, h);
    if (biasOn) OverwriteSetCell(column[0], column[0].Value() + output[0] * step);
    if (hidden) {
      // Summed in order of the target. The first term starts the sum rather
      // than an addition to 0: a zeroing loop here becomes a library call.
      for (int i = 1; i <= sources; ++i) {
        const double weight = column[i].Value();
        const double term = slope[i] * (weight * delta);
        sum[i] = (j == 1) ? term : sum[i] + term;
        OverwriteSetCell(column[i], weight + output[i] * step);
      }
    } else {
      for (int i = 1; i <= sources; ++i) {
        OverwriteSetCell(column[i], column[i].Value() + output[i] * step);
      }
    }
  }
  if (hidden) {
    if (targets == 0) {
      for (int i = 1; i <= sources; ++i) sum[i] = 0.0;  // nothing flows back
    }
    for (int i = 1; i <= sources; ++i) OverwriteSetCell(cells.deltas[NodeCell(i, h)], sum[i]);
  }
}

// Forward pass, output and hidden deltas, and the weight update for
// pattern p; returns the pattern's share of the cycle's error.
double TrainPattern(Workspace& ws, const NetGeometry& geometry, const TrainingCells& cells,
                    int p, double& carriedSlope, PatternValues& values) {
  const int last = geometry.OutputLayer();

  // Forward pass: NodeValues and Slopes of layers 2..L.
  double* in = values.pass.output[1];
  in[0] = cells.nodes[NodeCell(0, 1)].Value();
  for (int i = 1; i <= geometry.Size(1); ++i) {
    in[i] = cells.inputs[PatternCell(i, p)].Value();
    OverwriteSetCell(cells.nodes[NodeCell(i, 1)], in[i]);
  }
  ForwardPassOnCells<true, true>(ws, geometry, carriedSlope, values.pass);

  // Output deltas and the error: squared in analog mode (1), otherwise the
  // digital count of the integer part of 3.2 e^2. A net of one layer has
  // its inputs as outputs and no slopes of this pass.
  const bool analog = ws.OutputMode == kAnalogOutput;
  const double* output = values.pass.output[last];
  double error = 0.0;
  for (int j = 1; j <= geometry.OutputSize(); ++j) {
    const bool computed = last >= 2;
    const double y = computed ? output[j] : cells.nodes[NodeCell(j, last)].Value();
    const double slope =
        computed ? values.pass.slope[last][j] : cells.slopes[NodeCell(j, last)].Value();
    const double e = cells.targets[PatternCell(j, p)].Value() - y;
    if (!std::isfinite(e)) throw EngineError("an output error is too large (overflow)");
    error += analog ? e * e : std::floor(3.2 * (e * e));
    values.delta[last][j] = slope * e;
    OverwriteSetCell(cells.deltas[NodeCell(j, last)], slope * e);
  }

  // Hidden deltas and the weight update, from the last layer back. The
  // deltas of layer h use the weights of layer h before they change, and
  // nothing later reads those weights, so one sweep over each layer's
  // weights serves both: every delta still comes from unchanged weights.
  const double epsilon = ws.Epsilon;
  for (int h = last - 1; h >= 1; --h) BackpropagateLayer(cells, geometry, h, epsilon, values);
  return error;
}

// Sets every cell that training overwrites in place (see OverwriteSetCell),
// keeping its value: the first pattern would set them all anyway.
void MarkTrainedCellsSet(Workspace& ws, const NetGeometry& geometry) {
  auto mark = [](WorkspaceValue& cell) { cell = cell.Value(); };
  const int last = geometry.OutputLayer();
  for (int i = 1; i <= geometry.Size(1); ++i) mark(ws.NodeValues(i, 1));
  for (int k = 2; k <= last; ++k) {
    for (int j = 1; j <= geometry.Size(k); ++j) {
      mark(ws.NodeValues(j, k));
      mark(ws.Slopes(j, k));
    }
  }
  for (int j = 1; j <= geometry.OutputSize(); ++j) mark(ws.Deltas(j, last));
  for (int h = 1; h < last; ++h) {
    const bool biasOn = ws.NodeValues(0, h) != 0.0;
    for (int i = biasOn ? 0 : 1; i <= geometry.Size(h); ++i) {
      if (h >= 2 && i >= 1) mark(ws.Deltas(i, h));
      for (int j = 1; j <= geometry.Size(h + 1); ++j) mark(ws.Weights(i, j, h));
    }
  }
}

// A weight that is no longer finite ends the run before the net goes on.
void RequireFiniteWeights(const Workspace& ws, const NetGeometry& geometry) {
  const WorkspaceValue* weights = ws.Weights.Cells();
  for (int h = 1; h < geometry.layerCount; ++h) {
    for (int j = 1; j <= geometry.Size(h + 1); ++j) {
      const WorkspaceValue* w = weights + WeightCell(0, j, h);
      double sum = 0.0;
      for (int i = 0; i <= geometry.Size(h); ++i) sum += w[i].Value() * 0.0;
      if (!std::isfinite(sum)) throw EngineError("a weight is too large (overflow)");
    }
  }
}

// Writes "Trial=" and, when ShowTest is 1, "Error=" over the drawing, and
// applies the error test from cycle 2 on by moving the counter to the limit.
void ReportCycle(Workspace& ws, Canvas& canvas, double errorSum, ReportNumberBuffer& numbers) {
  canvas.MoveTo(5, 1);
  canvas.Print("Trial=");
  canvas.Print(numbers.PrintForm(ws.TrialCounter));
  if (ws.ShowTest != 1) return;

  canvas.MoveTo(6.5, 1);
  canvas.Print("Error=");
  const bool testOn = ws.ErrorTest == 1 && ws.TrialCounter > 1;
  if (ws.OutputMode == kDigitalOutput) {
    canvas.Print(numbers.PrintForm(errorSum));
    canvas.Print("  ");
    if (errorSum <= 0 && testOn) ws.TrialCounter = ws.TrainingLimit;
  } else {
    canvas.Print(numbers.ErrorPattern(errorSum));
    canvas.Print("      ");
    if (errorSum < ws.AnalogThreshold && testOn) ws.TrialCounter = ws.TrainingLimit;
  }
}

}  // namespace

TrainOutcome TrainNet(Workspace& ws, Host& host) {
  LoadDataSet(ws);
  ws.InterruptKey = 0;
  const NetGeometry geometry = ValidatedGeometry(ws);
  for (int k = 1; k <= geometry.layerCount; ++k) ws.NodeValues(0, k) = ws.BiasFlags(k);
  const int patterns = LoopCount(ws.PatternCount);  // the load allows at most 300
  const TrainingCells cells(ws);
  ReportNumberBuffer numbers;
  double carriedSlope = 0.0;  // what an unknown transfer code leaves as the slope
  PatternValues values;
  bool cellsMarked = false;

  ws.TrialCounter = 1;
  while (ws.TrialCounter < ws.TrainingLimit) {
    double errorSum = 0.0;
    for (int p = 1; p <= patterns; ++p) {
      ws.Busy = 1;
      host.YieldToEvents();
      if (ws.InterruptKey != 0) return TrainOutcome::Interrupted;
      if (!cellsMarked) {
        MarkTrainedCellsSet(ws, geometry);
        cellsMarked = true;
      }
      errorSum += TrainPattern(ws, geometry, cells, p, carriedSlope, values);
    }
    if (!std::isfinite(errorSum)) throw EngineError("the error sum is too large (overflow)");
    RequireFiniteWeights(ws, geometry);

    const std::int64_t showRate = WholeNumber(ws.ShowRate, "the show rate");
    if (showRate == 0) throw EngineError("the show rate is 0");
    if (WholeNumber(ws.TrialCounter, "the training cycle") % showRate == 0) {
      DrawNet(ws, host.MainCanvas());
    }
    ReportCycle(ws, host.MainCanvas(), errorSum, numbers);
    ws.TrialCounter = ws.TrialCounter + 1;
  }
  return TrainOutcome::Finished;
}

}  // namespace backprop
