// SPDX-License-Identifier: GPL-3.0-or-later
// Checks arbitrary program and data texts as the editor and the runner do.
// The checks must never throw or crash, must name only lines the texts
// have, must stop at their limit, and must leave the workspace as it was.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/text_check.h"
#include "engine/text_lines.h"
#include "engine/workspace.h"
#include "fuzz/fuzz_input.h"

namespace {

using namespace backprop;

int LineCount(const std::string& text) {
  TextLines lines(text);
  for (std::string_view line; lines.Next(line);) {
  }
  return lines.Number();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  Workspace ws;
  ApplyDefaults(ws);
  const std::vector<std::string> texts = input.Texts(5);
  constexpr BufferId kBuffers[] = {BufferId::ProgramS1, BufferId::ProgramS2,
                                   BufferId::TrainingDataD1, BufferId::TrainingDataD2,
                                   BufferId::TestSetT1};
  for (std::size_t n = 0; n < texts.size(); ++n) ws.TextBuffer(kBuffers[n]) = texts[n];
  for (const std::vector<BufferId>& runs :
       {std::vector<BufferId>{BufferId::ProgramS1, BufferId::ProgramS2},
        std::vector<BufferId>{BufferId::ProgramS2}}) {
    for (std::size_t n = 0; n < texts.size(); ++n) {
      const std::vector<TextWarning> warnings = CheckBuffer(ws, kBuffers[n], texts[n], runs);
      if (warnings.size() > static_cast<std::size_t>(kMaxWarnings) + 1) std::abort();
      const int lines = LineCount(texts[n]);
      for (const TextWarning& warning : warnings) {
        if (warning.line < 1 || warning.line > lines || warning.text.empty()) std::abort();
      }
    }
  }
  // The checks walk copies: the programs set nothing here.
  if (ws.Epsilon != 0.05 || ws.LayerCount != 2 || ws.LayerSizes(1) != 2) std::abort();
  return 0;
}
