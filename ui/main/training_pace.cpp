// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/training_pace.h"

#include <QAction>
#include <QDockWidget>

#include <cmath>
#include <utility>

#include "engine/canvas.h"
#include "engine/draw_net.h"
#include "engine/host.h"
#include "engine/training.h"
#include "engine/workspace.h"
#include "ui/canvas/repaint_throttle.h"
#include "ui/views/arithmetic_view.h"
#include "ui/views/training_controls.h"
#include "ui/views/view_docks.h"

namespace backprop {

namespace {

constexpr qint64 kNanosecondsPerSecond = 1'000'000'000;

QString Whole(double value) { return QString::number(value, 'g', 15); }

}  // namespace

TrainingPace::TrainingPace(Workspace& ws, Host& host, ViewDocks& docks, Window window)
    : ws_(ws),
      host_(host),
      docks_(docks),
      controls_(docks.Training()),
      window_(std::move(window)),
      // The state line costs training as little as the other docks do.
      stateThrottle_(new RepaintThrottle(
          controls_.StateLine(), [this] { ShowState(); }, kViewShare)) {
  wakeUp_.setSingleShot(true);
  wakeUp_.setTimerType(Qt::PreciseTimer);
  connect(&wakeUp_, &QTimer::timeout, this, [this] { wakeUpAt_ = -1; });
  timer_ = [this](qint64 ns) { wakeUp_.start(static_cast<int>((ns + 999'999) / 1'000'000)); };
  connect(&controls_, &TrainingControls::Changed, this, &TrainingPace::Update);
  connect(docks.TrainingDock()->toggleViewAction(), &QAction::toggled, this, &TrainingPace::Update);
  Update();
}

void TrainingPace::SetClock(YieldGate::Clock clock, Timer timer) {
  clock_ = std::move(clock);
  timer_ = std::move(timer);
  slotStart_ = clock_();
  wakeUpAt_ = -1;
}

void TrainingPace::Update() {
  const bool open = !docks_.TrainingDock()->isHidden();
  engaged_ = training_ && open &&
             (controls_.Paused() || controls_.Step() != TrainingStep::None ||
              controls_.CyclesPerSecond() != 0);
  if (!engaged_) {
    // Training runs on as without the controls: no step stays half done.
    host_.RecordSteps(nullptr);
    cycleStep_ = false;
    patternStep_ = false;
  }
  ShowState();
}

bool TrainingPace::Stopped() const { return ws_.InterruptKey != 0; }

void TrainingPace::Yield() {
  FinishStep();
  if (cycleEnded_ && !controls_.Paused() && controls_.CyclesPerSecond() > 0) {
    WaitForSlot();
  } else {
    window_.letEventsRun();
  }
  cycleEnded_ = false;
  if (Holding()) Hold();
  if (engaged_ && !Stopped()) TakeUpStep();
}

void TrainingPace::FinishStep() {
  if (patternStep_) {
    patternStep_ = false;
    host_.RecordSteps(nullptr);
    stepShown_ = record_.pattern != 0;
  }
  if (cycleStep_ && cycleEnded_) cycleStep_ = false;
}

void TrainingPace::TakeUpStep() {
  switch (controls_.TakeStep()) {
    case TrainingStep::Pattern:
      record_ = PatternArithmetic();
      host_.RecordSteps(&record_);
      patternStep_ = true;
      break;
    case TrainingStep::Cycle:
      cycleStep_ = true;
      break;
    case TrainingStep::None:
      break;
  }
}

bool TrainingPace::Holding() const {
  return engaged_ && controls_.Paused() && controls_.Step() == TrainingStep::None && !cycleStep_ &&
         !patternStep_ && !Stopped();
}

void TrainingPace::Hold() {
  holding_ = true;
  window_.showDrawing();
  docks_.RefreshNow();
  ArithmeticView& arithmetic = docks_.Arithmetic();
  if (stepShown_) {
    arithmetic.ShowTrained(record_);
  } else if (ws_.SelectedSet == 1 || ws_.SelectedSet == 2) {
    arithmetic.ShowNext(static_cast<int>(ws_.SelectedSet), ws_.TrainingPattern);
  }
  ShowState();
  while (Holding()) window_.waitForEvents();
  holding_ = false;
  stepShown_ = false;
  arithmetic.FollowTraining();
  // Training goes on from now: the next slot starts here.
  slotStart_ = clock_();
  ShowState();
}

void TrainingPace::WaitForSlot() {
  for (;;) {
    const int rate = controls_.CyclesPerSecond();
    if (!engaged_ || rate == 0 || controls_.Paused() || Stopped()) break;
    const qint64 end = slotStart_ + kNanosecondsPerSecond / rate;
    const qint64 now = clock_();
    if (now >= end) break;
    // The speed may change while waiting: the wake-up follows it.
    if (wakeUpAt_ != end) {
      wakeUpAt_ = end;
      timer_(end - now);
      continue;
    }
    window_.waitForEvents();
  }
  slotStart_ = clock_();
}

void TrainingPace::CycleEnded(const CycleReport& report) {
  cycleEnded_ = true;
  if (engaged_ && controls_.CyclesPerSecond() > 0) ShowCycle(report);
  if (controls_.isVisible()) stateThrottle_->Request();
}

// The net drawn afresh with the cycle's report over it, as a cycle at the
// show rate draws them.
void TrainingPace::ShowCycle(const CycleReport& report) {
  RedrawNet(ws_, host_);
  WriteCycleReport(host_.MainCanvas(), report);
  window_.showDrawing();
  docks_.RefreshNow();
}

void TrainingPace::TrainingStarted() {
  training_ = true;
  host_.RecordSteps(nullptr);
  cycleStep_ = false;
  patternStep_ = false;
  cycleEnded_ = false;
  stepShown_ = false;
  slotStart_ = clock_();
  controls_.SetTraining(true);
  Update();
}

void TrainingPace::RunEnded() {
  const bool showStep = patternStep_ && record_.pattern != 0;
  // A pause belongs to the run it held: the next run trains at once unless
  // Pause is pressed before it starts.
  if (training_) controls_.SetPaused(false);
  training_ = false;
  controls_.TakeStep();
  controls_.SetTraining(false);
  Update();
  // The run may end with the pattern trained by the last step.
  if (showStep) docks_.Arithmetic().ShowTrained(record_);
}

void TrainingPace::ShowState() {
  if (!training_) {
    controls_.ShowState(
        controls_.Paused() ? "Not training: the next run starts paused" : "Not training", {});
    return;
  }
  const QString state = QString("Training: cycle %1 of %2, %3")
                            .arg(Whole(ws_.TrialCounter))
                            .arg(Whole(ws_.TrainingLimit - 1))
                            .arg(holding_ ? "paused" : "running");
  QString detail;
  if (holding_ && ws_.PatternCount > 0) {
    detail =
        QString("Next: pattern %1 of %2").arg(ws_.TrainingPattern).arg(Whole(ws_.PatternCount));
  }
  controls_.ShowState(state, detail);
}

}  // namespace backprop
