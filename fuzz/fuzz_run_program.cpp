// SPDX-License-Identifier: GPL-3.0-or-later
// Runs arbitrary program texts on arbitrary data-set texts. The program
// must end every run with Busy 0 and either its warning or its closing
// state, never a crash or an out-of-range access. A fuzzed TRAINMAX or
// pattern count could make one input train for minutes, so the host gives
// each input a fixed budget of yields and drawing calls and stops the run
// by throwing when it is used up.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/canvas.h"
#include "engine/host.h"
#include "engine/interpreter.h"
#include "engine/workspace.h"
#include "fuzz/fuzz_input.h"

namespace {

using namespace backprop;

struct BudgetSpent {};

// A canvas and host that do nothing but count.
class BudgetHost : public Host, public Canvas {
 public:
  explicit BudgetHost(long budget) : budget_(budget) {}

  Canvas& MainCanvas() override { return *this; }
  void YieldToEvents() override { Spend(); }
  void ShowWarning(const std::string&) override { ++warnings; }

  void SetScale(double, double, double, double) override {}
  void Clear() override { Spend(); }
  void MoveTo(double, double) override {}
  void Print(std::string_view) override { Spend(); }
  void EndLine() override {}
  void NextZone() override {}
  void ToColumn(int) override {}
  void SetLineWidth(int) override {}
  void SetLineStyle(LineStyle) override {}
  void Line(double, double, double, double, std::optional<Rgb>) override { Spend(); }
  void Circle(double, double, double) override { Spend(); }

  int warnings = 0;

 private:
  void Spend() {
    if (--budget_ < 0) throw BudgetSpent{};
  }
  long budget_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  Workspace ws;
  ApplyDefaults(ws);
  ws.RunMode = 1 + input.Byte() % 4;
  const std::vector<std::string> texts = input.Texts(4);
  ws.TextBuffer(BufferId::ProgramS1) = texts[0];
  ws.TextBuffer(BufferId::TrainingDataD1) = texts[1];
  ws.TextBuffer(BufferId::TrainingDataD2) = texts[2];
  ws.TextBuffer(BufferId::TestSetT1) = texts[3];
  ws.TextBuffer(BufferId::ProgramS2) = texts[0];

  BudgetHost host(20000);
  try {
    RunProgram(ws, host);
  } catch (const BudgetSpent&) {
    return 0;  // stopped by the harness, not by the program
  }
  if (ws.Busy != 0) std::abort();
  if (host.warnings > 1) std::abort();
  // Whatever ran, the geometry still fits the tables.
  if (!(ws.LayerCount >= -0.5 && ws.LayerCount <= 10.5)) std::abort();
  for (int k = 0; k <= kMaxLayers; ++k) {
    if (ws.LayerSizes(k) > 10.5) std::abort();
  }
  return 0;
}
