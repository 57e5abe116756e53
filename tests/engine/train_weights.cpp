// Runs Program S1 and then Program S2 of a file set as Run(S1) and Run(S2)
// do, and prints every weight after each run as an exact hexadecimal
// number; so two builds of the engine can be compared to the last bit.
// Usage: train_weights BASE (reads BASE.pr1, BASE.pr2, BASE.ds1, BASE.ds2)
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/host.h"
#include "engine/interpreter.h"
#include "engine/null_canvas.h"
#include "engine/workspace.h"

namespace {

using namespace backprop;

class QuietHost : public Host {
 public:
  Canvas& MainCanvas() override { return canvas_; }
  void YieldToEvents() override {}
  void ShowWarning(const std::string& message) override {
    std::fprintf(stderr, "train_weights: run error: %s\n", message.c_str());
    failed = true;
  }
  bool failed = false;

 private:
  NullCanvas canvas_;
};

std::string Contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void PrintWeights(const Workspace& ws) {
  const int layers = static_cast<int>(ws.LayerCount);
  for (int h = 1; h < layers; ++h) {
    for (int i = 0; i <= static_cast<int>(ws.LayerSizes(h)); ++i) {
      for (int j = 1; j <= static_cast<int>(ws.LayerSizes(h + 1)); ++j) {
        std::printf("%d %d %d %a\n", i, j, h, static_cast<double>(ws.Weights(i, j, h)));
      }
    }
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: train_weights BASE\n");
    return 1;
  }
  const std::string base = argv[1];
  Workspace ws;
  ApplyDefaults(ws);
  ws.TextBuffer(BufferId::ProgramS1) = Contents(base + ".pr1");
  ws.TextBuffer(BufferId::ProgramS2) = Contents(base + ".pr2");
  ws.TextBuffer(BufferId::TrainingDataD1) = Contents(base + ".ds1");
  ws.TextBuffer(BufferId::TrainingDataD2) = Contents(base + ".ds2");
  QuietHost host;
  for (const int program : {kRunProgramS1, kRunProgramS2}) {
    ws.RunMode = program;
    RunProgram(ws, host);
    std::printf("after program %d\n", program);
    PrintWeights(ws);
  }
  return host.failed ? 1 : 0;
}
