// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

#include "engine/pattern_arithmetic.h"
#include "ui/main/yield_gate.h"

namespace backprop {

class Host;
class RepaintThrottle;
class TrainingControls;
class ViewDocks;
struct CycleReport;
struct Workspace;

// Watching training: the main window's yield hands over to this while the
// Training dock is open and its controls ask for a pause, a step or a
// speed below full; otherwise the yield is what it always was, and training
// runs exactly as without the controls.
//
// Paused, the yield waits on window events, so the process uses no
// processor time, every dock stays live and a click or key on the drawing
// still stops the run (the key sets InterruptKey, and the wait ends at the
// next event). "One Cycle" runs to the next cycle's first pattern, "One
// Pattern" trains the pattern about to be trained while training records
// its arithmetic, then both pause again. Below full speed every cycle gets
// its slot of time, on a clock that tests replace, and the net, the curve
// and the maps are shown after every cycle.
class TrainingPace : public QObject {
  Q_OBJECT

 public:
  // Starts a one-shot wake-up this many nanoseconds from now on the clock,
  // replacing the one before.
  using Timer = std::function<void(qint64)>;
  // What the pace needs from the main window.
  struct Window {
    std::function<void()> letEventsRun;   // the yield at full speed
    std::function<void()> waitForEvents;  // sleeps until an event arrives, then runs it
    std::function<void()> showDrawing;    // the drawing held back goes to the screen
  };

  TrainingPace(Workspace& ws, Host& host, ViewDocks& docks, Window window);

  // Whether the yield must come here: checked before every pattern, so it
  // is one flag, kept up to date when anything it depends on changes.
  bool Engaged() const { return engaged_; }
  // The yield before a pattern while engaged.
  void Yield();

  // The host's notices, passed on by the main window.
  void TrainingStarted();
  void CycleEnded(const CycleReport& report);
  // A program run has ended (after training, or without any).
  void RunEnded();

  // Reads the time from another clock and wakes up through another timer
  // (tests move time by hand).
  void SetClock(YieldGate::Clock clock, Timer timer);

 private:
  void Update();
  // The step asked for: taken up when training goes on.
  void TakeUpStep();
  // A step whose pattern or cycle is done makes training pause again.
  void FinishStep();
  bool Holding() const;
  // Waits on events while paused.
  void Hold();
  // Below full speed: waits until the cycle's slot of time is over.
  void WaitForSlot();
  // Slow motion: the net redrawn with the cycle's report, every view up to date.
  void ShowCycle(const CycleReport& report);
  void ShowState();
  bool Stopped() const;

  Workspace& ws_;
  Host& host_;
  ViewDocks& docks_;
  TrainingControls& controls_;
  Window window_;
  YieldGate::Clock clock_ = YieldGate::SteadyClock;
  Timer timer_;
  QTimer wakeUp_;
  RepaintThrottle* stateThrottle_;
  bool engaged_ = false;
  bool training_ = false;  // a TRAIN line trains, inside a program run
  bool holding_ = false;   // the yield waits while paused
  // The step taken up and not yet done.
  bool cycleStep_ = false;
  bool patternStep_ = false;
  bool cycleEnded_ = false;  // a cycle ended since the last yield
  bool stepShown_ = false;   // the pattern step's record is shown
  qint64 slotStart_ = 0;     // when the cycle now training started
  qint64 wakeUpAt_ = -1;     // the wake-up asked for, or -1
  PatternArithmetic record_;
};

}  // namespace backprop
