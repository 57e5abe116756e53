// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <csignal>
#include <iosfwd>

#include <optional>
#include <vector>

#include "engine/error_curve.h"
#include "engine/host.h"
#include "engine/test_error.h"

namespace backprop {

class Canvas;
struct Workspace;

// The host of a run without a window: the given canvas stands in for the
// main window, a warning goes to a stream line by line, and a yield turns a
// pending interrupt request (Ctrl+C) into the key press that stops training.
class HeadlessHost : public Host {
 public:
  HeadlessHost(Workspace& ws, Canvas& canvas, std::ostream& warnings,
               const volatile std::sig_atomic_t* interruptRequest = nullptr)
      : ws_(ws), canvas_(canvas), warnings_(warnings), interruptRequest_(interruptRequest) {}

  Canvas& MainCanvas() override { return canvas_; }
  void YieldToEvents() override;
  void ShowWarning(const std::string& message) override;
  void TrainingStarted() override;
  void CycleEnded(const CycleReport& report) override;
  // With neurode maps asked for, each redraw of the net adds them.
  void NetRedrawn() override;

  bool Warned() const { return warned_; }
  // Keeps every cycle of every TRAIN line from now on (for --curve).
  void RecordCurves() { recordCurves_ = true; }
  const std::vector<ErrorCurve>& Curves() const { return curves_; }
  // Draws every neurode's map over each drawing of the net from now on
  // (for --neurode-maps).
  void DrawNeurodeMaps() { drawNeurodeMaps_ = true; }
  // With RecordCurves, also measures test set `set` (2 or 4) after every
  // cycle: one curve per TRAIN line beside Curves(), a point per cycle (not
  // a number where the set cannot be measured).
  void RecordTestCurves(int set) { testSet_ = set; }
  const std::vector<ErrorCurve>& TestCurves() const { return testCurves_; }

  // The TRAIN lines that ran, and the last cycle's report of the last one.
  int Trains() const { return trains_; }
  std::optional<CurvePoint> LastCycle() const { return lastCycle_; }

 private:
  Workspace& ws_;
  Canvas& canvas_;
  std::ostream& warnings_;
  const volatile std::sig_atomic_t* interruptRequest_;
  bool warned_ = false;
  bool recordCurves_ = false;
  bool drawNeurodeMaps_ = false;
  std::vector<ErrorCurve> curves_;
  int testSet_ = 0;
  TestErrorMeter testMeter_;
  std::vector<ErrorCurve> testCurves_;
  int trains_ = 0;
  std::optional<CurvePoint> lastCycle_;
};

// The key code a Ctrl+C stands for when it stops training.
inline constexpr int kInterruptKeyCode = 3;

// Runs Program S1 (program 1) or S2 (program 2) on the workspace as Run(S1)
// or Run(S2) does; true when it ended without a run error.
bool RunNetworkProgram(Workspace& ws, int program, HeadlessHost& host);

}  // namespace backprop
