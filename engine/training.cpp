// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/training.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "engine/canvas.h"
#include "engine/data_set.h"
#include "engine/draw_net.h"
#include "engine/engine_error.h"
#include "engine/host.h"
#include "engine/net_geometry.h"
#include "engine/net_layout.h"
#include "engine/number_text.h"
#include "engine/pattern_step.h"
#include "engine/whole_number.h"
#include "engine/workspace.h"

// Training runs cycle after cycle over the loaded patterns, one step of
// back-propagation per pattern (pattern_step), yielding to the window
// before each so the user can watch, change parameters or stop it. Other
// windows may read the net at any yield, so the step works on the
// workspace's own tables; it commits a pattern's numbers only when all of
// them are finite, so an overflow leaves the net as the pattern before left
// it. The geometry cannot change while training (every command that could
// change it is refused while Busy is 1), so it is checked once per TRAIN
// line; the parameters can change at a yield and are read again after each.

namespace backprop {

namespace {

// A cycle counter or show rate "taken as a whole number": rounded, halves
// to even, and within the 32-bit range an integer division takes.
std::int64_t WholeNumber(double value, const char* what) {
  return CheckedWhole(value, std::numeric_limits<std::int32_t>::min(),
                      std::numeric_limits<std::int32_t>::max(), what);
}

// What one TRAIN line (or one cycle or pattern run by hand) works with.
class TrainingRun {
 public:
  // Checks the geometry of the set just loaded and puts the bias outputs
  // in place on both sides of the node table.
  TrainingRun(Workspace& ws, Host& host)
      : ws_(ws), host_(host), geometry_(ValidatedGeometry(ws)), net_{ws.Weights, ws.NodeValues,
                                                                     ws.Slopes, ws.Deltas} {
    for (int k = 1; k <= geometry_.layerCount; ++k) ws.NodeValues(0, k) = ws.BiasFlags(k);
    patterns_ = LoopCount(ws.PatternCount);  // the load allows at most 300
    ws.Weights.MatchSpare();
    ws.NodeValues.MatchSpare();
    ws.Slopes.MatchSpare();
    ws.Deltas.MatchSpare();
  }

  int Patterns() const { return patterns_; }

  // Lets pending events run with Busy set; false when the user stopped the run.
  bool YieldBefore(int pattern) {
    ws_.TrainingPattern = pattern;
    ws_.Busy = 1;
    host_.YieldToEvents();
    return ws_.InterruptKey == 0;
  }

  // Trains loaded pattern p; returns its share of the cycle's error. A step
  // that would overflow throws its reason and leaves the net as it was.
  double TrainLoaded(int p) {
    // Pattern p's column of the tables; the load checked p against them.
    const std::size_t column = static_cast<std::size_t>(kMaxNeurodes + 1) * p;
    const WorkspaceValue* scaledInputs = ws_.ScaledInputs.Cells() + column;
    const WorkspaceValue* scaledTargets = ws_.ScaledTargets.Cells() + column;
    double inputs[kMaxNeurodes + 1];
    double targets[kMaxNeurodes + 1];
    for (int i = 1; i <= geometry_.Size(1); ++i) inputs[i] = scaledInputs[i];
    for (int j = 1; j <= geometry_.OutputSize(); ++j) targets[j] = scaledTargets[j];
    PatternArithmetic* record = host_.StepRecord();
    if (record != nullptr) Describe(p, *record);
    StepResult result;
    try {
      result = step_(net_, geometry_, inputs, targets, CurrentStepParameters(ws_), carriedSlope_,
                     record);
    } catch (const EngineError& error) {
      throw AtPattern(error.what(), p);
    }
    if (!result.Finite()) throw AtPattern(result.OverflowText(), p);
    return result.errorShare;
  }

  // One cycle over every pattern, then the redraw at the show rate and the
  // report. Does not advance the cycle counter.
  TrainOutcome RunCycle(bool byHand) {
    double errorSum = 0.0;
    // An empty set still lets the user stop training once a cycle.
    if (patterns_ == 0 && !YieldBefore(0)) return TrainOutcome::Interrupted;
    for (int p = 1; p <= patterns_; ++p) {
      if (!YieldBefore(p)) return TrainOutcome::Interrupted;
      errorSum += TrainLoaded(p);
      if (!std::isfinite(errorSum)) throw AtPattern("the error sum is too large (overflow)", p);
    }
    const std::int64_t showRate = WholeNumber(ws_.ShowRate, "the show rate");
    if (showRate == 0) throw EngineError("the show rate is 0");
    // A cycle run by hand always shows its net, under its report.
    if (byHand || WholeNumber(ws_.TrialCounter, "the training cycle") % showRate == 0) {
      RedrawNet(ws_, host_);
    }
    Report(errorSum, byHand);
    return TrainOutcome::Finished;
  }

 private:
  static EngineError AtPattern(const std::string& reason, int p) {
    return EngineError(reason + " at pattern " + std::to_string(p));
  }

  // The numbers of loaded pattern p that the step does not compute.
  void Describe(int p, PatternArithmetic& a) const {
    a.set = static_cast<int>(ws_.SelectedSet);
    a.pattern = p;
    a.patternCount = patterns_;
    for (int i = 1; i <= geometry_.Size(1); ++i) a.rawInputs[i] = ws_.RawInputs(i, p);
    for (int j = 1; j <= geometry_.OutputSize(); ++j) a.rawTargets[j] = ws_.RawTargets(j, p);
  }

  // Reports the cycle over the drawing: "Trial=" and, when ShowTest is 1,
  // "Error="; applies the error test by moving the counter to the limit.
  // Tells the host what it reported.
  void Report(double errorSum, bool byHand) {
    const double trial = ws_.TrialCounter;
    const bool digital = ws_.OutputMode == kDigitalOutput;
    trialText_ = PrintForm(trial);
    errorText_.clear();
    if (ws_.ShowTest == 1) errorText_ = digital ? PrintForm(errorSum) : errorPattern_.Format(errorSum);
    const CycleReport report{trial, errorSum, trialText_, errorText_, byHand, digital};
    WriteCycleReport(host_.MainCanvas(), report);
    if (ErrorTestMet(ws_, trial, errorSum)) ws_.TrialCounter = ws_.TrainingLimit;
    host_.CycleEnded(report);
  }

  Workspace& ws_;
  Host& host_;
  NetGeometry geometry_;
  StepNet net_;
  const PatternStepFunction step_ = ChosenPatternStep();
  int patterns_ = 0;
  double carriedSlope_ = 0.0;  // what an unknown transfer code leaves as the slope
  const NumberPattern errorPattern_{" ##.######"};
  std::string trialText_;
  std::string errorText_;
};

// Loads training set `set` with its desired outputs, as training does.
void LoadTrainingSet(Workspace& ws, int set) {
  ws.SelectedSet = set;
  LoadDataSet(ws, true);
}

// Sets a workspace field for the life of a scope and clears it after,
// however training ends: Busy while a cycle by hand yields, TrainingPattern
// while training runs.
template <typename Field>
class ClearedAfter {
 public:
  explicit ClearedAfter(Field& field) : field_(field) {}
  ClearedAfter(const ClearedAfter&) = delete;
  ClearedAfter& operator=(const ClearedAfter&) = delete;
  ~ClearedAfter() { field_ = 0; }

 private:
  Field& field_;
};

}  // namespace

void WriteCycleReport(Canvas& canvas, const CycleReport& report) {
  canvas.MoveTo(kTrialReportAt.x, kTrialReportAt.y);
  canvas.Print("Trial=");
  canvas.Print(report.trialText);
  if (report.errorText.empty()) return;
  canvas.MoveTo(kErrorReportAt.x, kErrorReportAt.y);
  canvas.Print("Error=");
  canvas.Print(report.errorText);
  canvas.Print(report.digital ? "  " : "      ");
}

bool StopsBelowThreshold(const Workspace& ws) {
  return ws.ShowTest == 1 && ws.ErrorTest == 1 && ws.OutputMode != kDigitalOutput;
}

bool ErrorTestMet(const Workspace& ws, double trial, double errorSum) {
  if (!(ws.ShowTest == 1 && ws.ErrorTest == 1 && trial > 1)) return false;
  return StopsBelowThreshold(ws) ? errorSum < ws.AnalogThreshold : errorSum <= 0;
}

TrainOutcome TrainNet(Workspace& ws, Host& host) {
  const ClearedAfter pattern(ws.TrainingPattern);
  LoadDataSet(ws);
  ws.InterruptKey = 0;
  TrainingRun run(ws, host);
  host.TrainingStarted();
  ws.TrialCounter = 1;
  while (ws.TrialCounter < ws.TrainingLimit) {
    if (run.RunCycle(false) == TrainOutcome::Interrupted) return TrainOutcome::Interrupted;
    ws.TrialCounter = ws.TrialCounter + 1;
  }
  return TrainOutcome::Finished;
}

TrainOutcome TrainOneCycle(Workspace& ws, Host& host, int set) {
  const ClearedAfter busy(ws.Busy);
  const ClearedAfter pattern(ws.TrainingPattern);
  LoadTrainingSet(ws, set);
  ws.InterruptKey = 0;
  TrainingRun run(ws, host);
  ws.TrialCounter = ws.HandCycles + 1;
  const TrainOutcome outcome = run.RunCycle(true);
  if (outcome == TrainOutcome::Finished) ws.HandCycles = ws.HandCycles + 1;
  return outcome;
}

void ApplyPatternStep(Workspace& ws, Host& host, int set, int pattern) {
  LoadTrainingSet(ws, set);
  TrainingRun run(ws, host);
  if (pattern < 1 || pattern > run.Patterns()) {
    throw EngineError("pattern " + std::to_string(pattern) + " is not in 1.." +
                      std::to_string(run.Patterns()));
  }
  run.TrainLoaded(pattern);
  ws.HandPatterns = ws.HandPatterns + 1;
  RedrawNet(ws, host);
}

}  // namespace backprop
