// Trains the 300-pattern set on a ten-layer net twice in one process:
// through the real main window (offscreen, default show rate, so the net is
// redrawn and the report written as a user sees them) and through the
// engine with a host that draws nothing and never yields. The ratio of the
// two times is the cost of the window: the yield, the drawing and the
// repaints. Several rounds alternate the two and the best of each counts.
// Times are the thread's processor time, so that other work on the machine
// does not tilt the ratio; wall-clock times are printed beside them.
#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "engine/host.h"
#include "engine/interpreter.h"
#include "engine/null_canvas.h"
#include "engine/workspace.h"
#include "tests/support/scripted_dialogs.h"
#include "ui/main/main_window.h"

using namespace backprop;
using backprop::testing::ScriptedDialogs;

namespace {

constexpr int kPatterns = 300;
constexpr int kWidth = 10;
constexpr int kRounds = 3;

class HeadlessHost : public Host {
 public:
  Canvas& MainCanvas() override { return canvas_; }
  void YieldToEvents() override {}
  void ShowWarning(const std::string& message) override {
    std::fprintf(stderr, "run error: %s\n", message.c_str());
    std::exit(1);
  }

 private:
  NullCanvas canvas_;
};

// 300 patterns of ten inputs in -1..1 and ten outputs, each the sign of a
// different mix of the inputs: fixed, so every run trains the same.
std::string DataSet() {
  std::string text = std::to_string(kPatterns) + "\r\n";
  unsigned state = 12345;
  const auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return ((state >> 8) % 2001) / 1000.0 - 1.0;
  };
  for (int p = 0; p < kPatterns; ++p) {
    double inputs[kWidth];
    for (double& x : inputs) x = next();
    for (int i = 0; i < kWidth; ++i) text += std::to_string(inputs[i]) + ",";
    for (int k = 0; k < kWidth; ++k) {
      const double mix = inputs[k] - 0.5 * inputs[(k + 3) % kWidth] + 0.25 * inputs[(k + 7) % kWidth];
      text += (mix < 0 ? "-1" : "1");
      text += (k + 1 < kWidth ? "," : "\r\n");
    }
  }
  return text;
}

std::string Program(int cycles) {
  return "NETLIST=10,10,10,10,10,10,10,10,10,10,10\r\n"
         "BIASLIST=1,1,1,1,1,1,1,1,1,0\r\n"
         "INITW=2\r\n"
         "ERRTEST=0\r\n"
         "TRAINMAX=" + std::to_string(cycles + 1) + "\r\n"
         "TRAIN=1\r\n";
}

void Prepare(Workspace& ws, const std::string& data, int cycles) {
  ApplyDefaults(ws);
  ws.AboutShown = 1;
  ws.TextBuffer(BufferId::TrainingDataD1) = data;
  ws.TextBuffer(BufferId::ProgramS1) = Program(cycles);
}

struct Times {
  double cpu = 1e300;
  double wall = 1e300;
};

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Runs once and keeps the better of the times so far.
template <typename F>
void Measure(Times& best, F&& run) {
  const double cpuStart = ThreadSeconds();
  const auto wallStart = std::chrono::steady_clock::now();
  run();
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  best.cpu = std::min(best.cpu, ThreadSeconds() - cpuStart);
  best.wall = std::min(best.wall, wall);
}

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The default training limit of 1000 runs 999 cycles.
  const int cycles = argc > 1 ? std::atoi(argv[1]) : 999;
  const std::string data = DataSet();

  Workspace windowWs;
  ScriptedDialogs dialogs;
  MainWindow window(windowWs, dialogs);
  window.Form_Load();
  QApplication::processEvents();

  Times headless;
  Times windowed;
  double headlessWeight = 0;
  double windowWeight = 0;
  for (int round = 0; round < kRounds; ++round) {
    Workspace ws;
    Prepare(ws, data, cycles);
    HeadlessHost host;
    ws.RunMode = 1;
    Measure(headless, [&] { RunProgram(ws, host); });
    headlessWeight = ws.Weights(1, 1, 5);

    Prepare(windowWs, data, cycles);
    Measure(windowed, [&] { window.TN_Click(); });
    windowWeight = windowWs.Weights(1, 1, 5);
    if (windowWs.TrialCounter != cycles + 1) {
      std::fprintf(stderr, "the window's run stopped early at cycle %g\n", windowWs.TrialCounter.Value());
      return 1;
    }
  }
  if (headlessWeight != windowWeight) {
    std::fprintf(stderr, "the two runs trained differently\n");
    return 1;
  }

  const QSize size = window.size();
  std::printf("main window training: %d patterns, 10 layers of 10, %d cycles, show rate 10, %dx%d\n",
              kPatterns, cycles, size.width(), size.height());
  std::printf("                   processor    wall\n");
  std::printf("  headless engine  %7.3f s  %7.3f s\n", headless.cpu, headless.wall);
  std::printf("  main window      %7.3f s  %7.3f s\n", windowed.cpu, windowed.wall);
  std::printf("  ratio            %7.3f    %7.3f   (target <= 1.25)\n", windowed.cpu / headless.cpu,
              windowed.wall / headless.wall);
  return 0;
}
