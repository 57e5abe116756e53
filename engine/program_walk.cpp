// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/program_walk.h"

#include "engine/engine_error.h"
#include "engine/interpreter.h"
#include "engine/workspace.h"

namespace backprop {

void WalkProgram(Workspace& ws, std::string_view text, int runMode,
                 const std::function<bool(const WalkedLine& line, const Workspace& after)>& visit) {
  ws.RunMode = runMode;
  for (const ProgramLine& line : RunningLines(text)) {
    const std::string upper = UpperCaseProgram(line.text);
    WalkedLine walked;
    walked.number = line.number;
    walked.text = line.text;
    walked.upper = upper;
    walked.keywords = KeywordsIn(upper);
    try {
      walked.readSet = ApplyLineValues(ws, upper, walked.keywords);
    } catch (const EngineError& error) {
      walked.error = error.what();
    }
    if (!visit(walked, ws)) return;
  }
}

}  // namespace backprop
