#include "tools/backprop_run/headless_run.h"

#include <ostream>

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
  if (recordCurves_) curves_.emplace_back();
}

void HeadlessHost::CycleEnded(const CycleReport& report) {
  if (recordCurves_ && !curves_.empty()) curves_.back().Add(report.trial, report.errorSum);
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
