#include "tools/backprop_run/headless_run.h"

#include <limits>
#include <ostream>

#include "engine/engine_error.h"
#include "engine/interpreter.h"
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
  // return; a terminal wants one line each.
  std::size_t start = 0;
  while (start <= message.size()) {
    std::size_t end = message.find_first_of("\r\n", start);
    if (end == std::string::npos) end = message.size();
    if (end > start) warnings_ << message.substr(start, end - start) << '\n';
    start = end + 1;
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

bool RunNetworkProgram(Workspace& ws, int program, HeadlessHost& host) {
  ws.RunMode = program == 2 ? kRunProgramS2 : kRunProgramS1;
  RunProgram(ws, host);
  return !host.Warned();
}

}  // namespace backprop
