// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/backprop_run/run_check.h"

#include "engine/text_check.h"
#include "engine/visible_text.h"
#include "engine/workspace.h"
#include "files/file_set.h"

namespace backprop {

std::vector<std::string> RunWarnings(const Workspace& ws, int program) {
  const BufferId run = program == 2 ? BufferId::ProgramS2 : BufferId::ProgramS1;
  std::vector<std::string> lines;
  for (std::size_t row = 0; row < kFileSetBuffers.size(); ++row) {
    const BufferId id = kFileSetBuffers[row];
    // The program that does not run is not part of this run.
    if ((id == BufferId::ProgramS1 || id == BufferId::ProgramS2) && id != run) continue;
    for (const TextWarning& warning : CheckBuffer(ws, id, ws.TextBuffer(id), {run})) {
      lines.push_back("warning: " + VisibleText(ws.FileNames[row]) + " line " +
                      std::to_string(warning.line) + ": " + warning.text);
    }
  }
  return lines;
}

}  // namespace backprop
