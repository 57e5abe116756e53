// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/backprop_run/headless_run.h"

#include <limits>
#include <ostream>

#include "engine/engine_error.h"
#include "engine/interpreter.h"
#include "engine/neurode_maps.h"
#include "engine/text_lines.h"
#include "engine/workspace.h"

namespace backprop {

void HeadlessHost::YieldToEvents() {
  if (interruptRequest_ != nullptr && *interruptRequest_ != 0) {
    ws_.InterruptKey = kInterruptKeyCode;
  }
}

void HeadlessHost::ShowWarning(const std::string& message) {
  warned_ = true;
  // The message box's lines are separated by a line feed and a carriage
  // return; a terminal wants one line each, and no empty one between.
  TextLines lines(message);
  for (std::string_view line; lines.Next(line);) {
    if (!line.empty()) warnings_ << line << '\n';
  }
  warnings_.flush();
}

void HeadlessHost::TrainingStarted() {
  ++trains_;
  lastCycle_.reset();
  if (!recordCurves_) return;
  curves_.emplace_back();
  if (testSet_ != 0) testCurves_.emplace_back();
}

void HeadlessHost::CycleEnded(const CycleReport& report) {
  lastCycle_ = CurvePoint{report.trial, report.errorSum};
  if (!recordCurves_ || curves_.empty()) return;
  curves_.back().Add(report.trial, report.errorSum);
  if (testSet_ == 0) return;
  double error = std::numeric_limits<double>::quiet_NaN();
  try {
    error = testMeter_.Measure(ws_, testSet_).error;
  } catch (const EngineError&) {
    // The run goes on; the end of the run says why the set cannot be measured.
  }
  testCurves_.back().Add(report.trial, error);
}

void HeadlessHost::NetRedrawn() {
  if (drawNeurodeMaps_) backprop::DrawNeurodeMaps(ws_, canvas_);
}

bool RunNetworkProgram(Workspace& ws, int program, HeadlessHost& host) {
  ws.RunMode = program == 2 ? kRunProgramS2 : kRunProgramS1;
  RunProgram(ws, host);
  return !host.Warned();
}

}  // namespace backprop
