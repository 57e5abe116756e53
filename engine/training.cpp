#include "engine/training.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "engine/canvas.h"
#include "engine/data_set.h"
#include "engine/draw_net.h"
#include "engine/engine_error.h"
#include "engine/host.h"
#include "engine/net_geometry.h"
#include "engine/pattern_step.h"
#include "engine/report_text.h"
#include "engine/training_sinks.h"
#include "engine/whole_number.h"
#include "engine/workspace.h"

// Training runs on the workspace cells themselves: other windows may read
// the weights and node values at any yield, so nothing is kept in a private
// copy across one. The geometry cannot change while training (every command
// that could change it is refused while Busy is 1), so it is checked once and
// the per-pattern loops then index the raw cells. The parameters can change
// at a yield (the Parameters window stays usable), so they are read again
// after every one.
//
// A value that overflows must not stay in the net: every few cycles training
// keeps a snapshot of the weights and records each pattern's parameters
// from then on; when anything turns infinite the weights go back to the
// snapshot and the recorded patterns are applied again, each checked before
// it is applied, up to the pattern that overflowed. The check costs almost
// nothing while nothing overflows.

namespace backprop {

namespace {

// A cycle counter or show rate "taken as a whole number": rounded, halves
// to even, and within the 32-bit range an integer division takes.
std::int64_t WholeNumber(double value, const char* what) {
  return CheckedWhole(value, std::numeric_limits<std::int32_t>::min(),
                      std::numeric_limits<std::int32_t>::max(), what);
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

// The weight and delta cells of the net, listed once per TRAIN line, and
// their values as a cycle found them, so an overflow can take the net back.
// Training spends little time here: a list walks faster than the tables.
class CycleSnapshot {
 public:
  void ListCells(Workspace& ws, const NetGeometry& geometry) {
    cells_.clear();
    WorkspaceValue* weights = ws.Weights.Cells();
    for (int h = 1; h < geometry.layerCount; ++h) {
      for (int j = 1; j <= geometry.Size(h + 1); ++j) {
        for (int i = 0; i <= geometry.Size(h); ++i) cells_.push_back(weights + WeightCell(i, j, h));
      }
    }
    weightCount_ = cells_.size();
    for (int k = 2; k <= geometry.layerCount; ++k) {
      for (int j = 1; j <= geometry.Size(k); ++j) cells_.push_back(&ws.Deltas(j, k));
    }
    values_.resize(cells_.size());
  }
  void Take(double carriedSlope) {
    for (std::size_t n = 0; n < cells_.size(); ++n) values_[n] = cells_[n]->Value();
    carriedSlope_ = carriedSlope;
  }
  // Puts the values back; returns the carried slope.
  double Restore() const {
    for (std::size_t n = 0; n < cells_.size(); ++n) OverwriteSetCell(*cells_[n], values_[n]);
    return carriedSlope_;
  }
  // Whether every weight of the net is finite. A product with 0 is 0 for
  // every finite weight and not a number otherwise, so one sum tells.
  bool WeightsFinite() const {
    double sum = 0.0;
    for (std::size_t n = 0; n < weightCount_; ++n) sum += cells_[n]->Value() * 0.0;
    return std::isfinite(sum);
  }

 private:
  std::vector<WorkspaceValue*> cells_;
  std::size_t weightCount_ = 0;
  std::vector<double> values_;
  double carriedSlope_ = 0.0;
};

// Cycles between two snapshots: the snapshot's cost spread over them, the
// replay after an overflow at most this many cycles long.
constexpr int kCyclesPerSnapshot = 16;

// What one TRAIN line (or one cycle run by hand) works with.
struct TrainingRun {
  TrainingRun(Workspace& workspace, Host& runHost) : ws(workspace), host(runHost) {}

  Workspace& ws;
  Host& host;
  NetGeometry geometry;
  int patterns = 0;
  double carriedSlope = 0.0;  // what an unknown transfer code leaves as the slope
  PatternValues values{};
  CycleSnapshot snapshot;
  // The parameters of each pattern applied since the snapshot, in order.
  std::vector<StepParameters> parameters;
  int cyclesSinceSnapshot = 0;
  ReportNumberBuffer trialNumbers;
  ReportNumberBuffer errorNumbers;
  bool cellsMarked = false;
};

// Checks the geometry and sets up the bias outputs of a set just loaded.
void Prepare(TrainingRun& run) {
  Workspace& ws = run.ws;
  run.geometry = ValidatedGeometry(ws);
  for (int k = 1; k <= run.geometry.layerCount; ++k) {
    ws.NodeValues(0, k) = ws.BiasFlags(k);
    run.values.pass.output[k][0] = ws.NodeValues(0, k);
  }
  run.patterns = LoopCount(ws.PatternCount);  // the load allows at most 300
  run.parameters.reserve(static_cast<std::size_t>(run.patterns) * kCyclesPerSnapshot);
  run.snapshot.ListCells(ws, run.geometry);
  run.cyclesSinceSnapshot = kCyclesPerSnapshot;
}

// Lets pending events run with Busy set; false when the user stopped the run.
bool YieldToUser(TrainingRun& run) {
  run.ws.Busy = 1;
  run.host.YieldToEvents();
  return run.ws.InterruptKey == 0;
}

// Inlined into the cycle's loop, like the step itself: training's time is spent here.
[[gnu::always_inline]] inline double TrainPattern(TrainingRun& run, int p,
                                                  const StepParameters& parameters) {
  if (!run.cellsMarked) {
    MarkTrainedCellsSet(run.ws, run.geometry);
    run.cellsMarked = true;
  }
  TrainingSink sink(run.ws, p, run.geometry.OutputLayer());
  return PatternStep(run.ws, run.geometry, parameters, run.carriedSlope, run.values, sink);
}

// The arithmetic of loaded pattern p from the run's present state, or the
// reason it overflows; changes nothing.
std::string OverflowOfLoadedPattern(const TrainingRun& run, int p,
                                    const StepParameters& parameters) {
  const Workspace& ws = run.ws;
  PatternArithmetic arithmetic;
  arithmetic.geometry = run.geometry;
  for (int i = 1; i <= run.geometry.Size(1); ++i)
    arithmetic.scaledInputs[i] = ws.ScaledInputs(i, p);
  for (int j = 1; j <= run.geometry.OutputSize(); ++j)
    arithmetic.targets[j] = ws.ScaledTargets(j, p);
  double slope = run.carriedSlope;
  PatternValues values = run.values;
  try {
    RecordPatternStep(ws, parameters, slope, values, arithmetic);
  } catch (const EngineError& error) {
    return error.what();
  }
  return OverflowIn(arithmetic);
}

// Records the arithmetic of loaded pattern p for a host that asked for it.
void RecordLoadedPattern(const TrainingRun& run, int p, PatternArithmetic& record) {
  const Workspace& ws = run.ws;
  PatternArithmetic arithmetic;
  arithmetic.set = static_cast<int>(ws.SelectedSet);
  arithmetic.pattern = p;
  arithmetic.patternCount = run.patterns;
  arithmetic.geometry = run.geometry;
  for (int i = 1; i <= run.geometry.Size(1); ++i) {
    arithmetic.rawInputs[i] = ws.RawInputs(i, p);
    arithmetic.scaledInputs[i] = ws.ScaledInputs(i, p);
  }
  for (int j = 1; j <= run.geometry.OutputSize(); ++j) {
    arithmetic.rawTargets[j] = ws.RawTargets(j, p);
    arithmetic.targets[j] = ws.ScaledTargets(j, p);
  }
  double slope = run.carriedSlope;
  PatternValues values = run.values;
  try {
    RecordPatternStep(ws, CurrentStepParameters(ws), slope, values, arithmetic);
  } catch (const EngineError&) {
    return;  // the step itself reports the overflow
  }
  record = arithmetic;
}

// Applies loaded pattern p unless its step would overflow; then throws the
// reason and leaves the net as it was.
double TrainPatternChecked(TrainingRun& run, int p, const StepParameters& parameters) {
  const std::string reason = OverflowOfLoadedPattern(run, p, parameters);
  if (!reason.empty()) throw EngineError(reason + " at pattern " + std::to_string(p));
  return TrainPattern(run, p, parameters);
}

// After an overflow: takes the net back to the snapshot and applies the
// recorded patterns again, each checked first, until the one that
// overflowed; throws its reason. Should every pattern pass (a sum that
// overflowed on the way, while its terms do not), the net is where it was.
void RollBackToOverflow(TrainingRun& run) {
  run.carriedSlope = run.snapshot.Restore();
  const std::size_t count = run.parameters.size();
  double errorSum = 0.0;
  for (std::size_t n = 0; n < count; ++n) {
    const int p = static_cast<int>(n % static_cast<std::size_t>(run.patterns)) + 1;
    if (p == 1) errorSum = 0.0;
    errorSum += TrainPatternChecked(run, p, run.parameters[n]);
    if (!std::isfinite(errorSum)) {
      throw EngineError("the error sum is too large (overflow) at pattern " + std::to_string(p));
    }
  }
}

// Writes "Trial=" and, when ShowTest is 1, "Error=" over the drawing, and
// applies the error test from cycle 2 on by moving the counter to the limit.
// Tells the host what it reported.
void ReportCycle(TrainingRun& run, double errorSum, bool byHand) {
  Workspace& ws = run.ws;
  Canvas& canvas = run.host.MainCanvas();
  CycleReport report{ws.TrialCounter, errorSum, {}, {}, byHand};
  canvas.MoveTo(5, 1);
  canvas.Print("Trial=");
  report.trialText = run.trialNumbers.PrintForm(ws.TrialCounter);
  canvas.Print(report.trialText);
  if (ws.ShowTest == 1) {
    canvas.MoveTo(6.5, 1);
    canvas.Print("Error=");
    const bool testOn = ws.ErrorTest == 1 && ws.TrialCounter > 1;
    if (ws.OutputMode == kDigitalOutput) {
      report.errorText = run.errorNumbers.PrintForm(errorSum);
      canvas.Print(report.errorText);
      canvas.Print("  ");
      if (errorSum <= 0 && testOn) ws.TrialCounter = ws.TrainingLimit;
    } else {
      report.errorText = run.errorNumbers.ErrorPattern(errorSum);
      canvas.Print(report.errorText);
      canvas.Print("      ");
      if (errorSum < ws.AnalogThreshold && testOn) ws.TrialCounter = ws.TrainingLimit;
    }
  }
  run.host.CycleEnded(report);
}

// One cycle over every pattern, then the redraw at the show rate and the
// report. Does not advance the cycle counter.
TrainOutcome RunCycle(TrainingRun& run, bool byHand) {
  Workspace& ws = run.ws;
  if (run.cyclesSinceSnapshot == kCyclesPerSnapshot) {
    run.snapshot.Take(run.carriedSlope);
    run.parameters.clear();
    run.cyclesSinceSnapshot = 0;
  }
  ++run.cyclesSinceSnapshot;
  double errorSum = 0.0;
  // An empty set still lets the user stop training once a cycle.
  if (run.patterns == 0 && !YieldToUser(run)) return TrainOutcome::Interrupted;
  try {
    for (int p = 1; p <= run.patterns; ++p) {
      ws.TrainingPattern = p;
      if (!YieldToUser(run)) return TrainOutcome::Interrupted;
      run.parameters.push_back(CurrentStepParameters(ws));
      if (PatternArithmetic* record = run.host.StepRecord()) RecordLoadedPattern(run, p, *record);
      errorSum += TrainPattern(run, p, run.parameters.back());
    }
  } catch (const EngineError&) {
    RollBackToOverflow(run);
    throw;
  }
  if (!std::isfinite(errorSum) || !run.snapshot.WeightsFinite()) {
    RollBackToOverflow(run);
    if (!std::isfinite(errorSum)) throw EngineError("the error sum is too large (overflow)");
  }

  const std::int64_t showRate = WholeNumber(ws.ShowRate, "the show rate");
  if (showRate == 0) throw EngineError("the show rate is 0");
  // A cycle run by hand always shows its net, under its report.
  if (byHand || WholeNumber(ws.TrialCounter, "the training cycle") % showRate == 0) {
    RedrawNet(ws, run.host);
  }
  ReportCycle(run, errorSum, byHand);
  return TrainOutcome::Finished;
}

// Loads training set `set` with its desired outputs, as training does.
void LoadTrainingSet(Workspace& ws, int set) {
  ws.SelectedSet = set;
  LoadDataSet(ws, true);
}

// Busy is 1 while a cycle by hand yields, and 0 again however it ends.
class BusyWhileTraining {
 public:
  explicit BusyWhileTraining(Workspace& ws) : ws_(ws) {}
  BusyWhileTraining(const BusyWhileTraining&) = delete;
  BusyWhileTraining& operator=(const BusyWhileTraining&) = delete;
  ~BusyWhileTraining() { ws_.Busy = 0; }

 private:
  Workspace& ws_;
};

// TrainingPattern is 0 again however training ends.
class TrainingPatternReset {
 public:
  explicit TrainingPatternReset(Workspace& ws) : ws_(ws) {}
  TrainingPatternReset(const TrainingPatternReset&) = delete;
  TrainingPatternReset& operator=(const TrainingPatternReset&) = delete;
  ~TrainingPatternReset() { ws_.TrainingPattern = 0; }

 private:
  Workspace& ws_;
};

}  // namespace

TrainOutcome TrainNet(Workspace& ws, Host& host) {
  const TrainingPatternReset reset(ws);
  LoadDataSet(ws);
  ws.InterruptKey = 0;
  TrainingRun run(ws, host);
  Prepare(run);
  host.TrainingStarted();
  ws.TrialCounter = 1;
  while (ws.TrialCounter < ws.TrainingLimit) {
    if (RunCycle(run, false) == TrainOutcome::Interrupted) return TrainOutcome::Interrupted;
    ws.TrialCounter = ws.TrialCounter + 1;
  }
  return TrainOutcome::Finished;
}

TrainOutcome TrainOneCycle(Workspace& ws, Host& host, int set) {
  const BusyWhileTraining busy(ws);
  const TrainingPatternReset reset(ws);
  LoadTrainingSet(ws, set);
  ws.InterruptKey = 0;
  TrainingRun run(ws, host);
  Prepare(run);
  ws.TrialCounter = ws.HandCycles + 1;
  const TrainOutcome outcome = RunCycle(run, true);
  if (outcome == TrainOutcome::Finished) ws.HandCycles = ws.HandCycles + 1;
  return outcome;
}

void ApplyPatternStep(Workspace& ws, Host& host, int set, int pattern) {
  LoadTrainingSet(ws, set);
  TrainingRun run(ws, host);
  Prepare(run);
  if (pattern < 1 || pattern > run.patterns) {
    throw EngineError("pattern " + std::to_string(pattern) + " is not in 1.." +
                      std::to_string(run.patterns));
  }
  TrainPatternChecked(run, pattern, CurrentStepParameters(ws));
  ws.HandPatterns = ws.HandPatterns + 1;
  RedrawNet(ws, host);
}

}  // namespace backprop
