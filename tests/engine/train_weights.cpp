// SPDX-License-Identifier: GPL-3.0-or-later
// Runs Program S1, then Program S2, of the file set BASE (BASE.pr1, .pr2,
// .ds1, .ds2) and prints every weight after each as an exact hexadecimal
// number, so that two builds of the engine can be compared bit for bit.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/host.h"
#include "engine/interpreter.h"
#include "bench/null_canvas.h"
#include "engine/workspace.h"

using namespace backprop;

struct QuietHost : Host {
  NullCanvas canvas;
  bool failed = false;
  Canvas& MainCanvas() override { return canvas; }
  void YieldToEvents() override {}
  void ShowWarning(const std::string& message) override {
    std::fprintf(stderr, "%s\n", message.c_str());
    failed = true;
  }
};

int main(int argc, char* argv[]) {
  if (argc != 2) return 1;
  Workspace ws;
  ApplyDefaults(ws);
  const auto read = [&](BufferId id, const char* extension) {
    std::ostringstream text;
    text << std::ifstream(argv[1] + std::string(extension), std::ios::binary).rdbuf();
    ws.TextBuffer(id) = text.str();
  };
  read(BufferId::ProgramS1, ".pr1");
  read(BufferId::ProgramS2, ".pr2");
  read(BufferId::TrainingDataD1, ".ds1");
  read(BufferId::TrainingDataD2, ".ds2");
  QuietHost host;
  for (const int program : {kRunProgramS1, kRunProgramS2}) {
    ws.RunMode = program;
    RunProgram(ws, host);
    const auto size = [&](int h) { return static_cast<int>(ws.LayerSizes(h)); };
    for (int h = 1; h < static_cast<int>(ws.LayerCount); ++h) {
      for (int i = 0; i <= size(h); ++i) {
        for (int j = 1; j <= size(h + 1); ++j) {
          std::printf("%d %d %d %d %a\n", program, i, j, h,
                      static_cast<double>(ws.Weights(i, j, h)));
        }
      }
    }
  }
  return host.failed ? 1 : 0;
}
