// SPDX-License-Identifier: GPL-3.0-or-later
// Trains a 300-pattern set twice in one process: through the real main
// window (offscreen, default show rate, so the net is redrawn and the report
// written as a user sees them, with or without the View menu's docks open)
// and through the engine with a host that draws nothing and never yields.
// The ratio of the two times is the cost of the window: the yield, the
// drawing, the repaints and the docks. Several rounds alternate the two:
// each round gives one ratio, printed as the median and its spread, beside
// the ratio of the best times. Times are the thread's processor time, so that
// other work on the machine does not tilt the ratio; wall-clock times are
// printed beside them. Last, the time one decision map takes to evaluate,
// and the processor time of a paused run (the Training dock's Pause), which
// waits on events and should use next to none, and one redraw of every
// neurode's map on the drawing.
#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <QAction>
#include <QTimer>

#include "engine/draw_net.h"
#include "engine/host.h"
#include "engine/interpreter.h"
#include "engine/net_evaluation.h"
#include "bench/null_canvas.h"
#include "bench/spread.h"
#include "engine/neurode_maps.h"
#include "engine/workspace.h"
#include "tests/support/scripted_dialogs.h"
#include "ui/canvas/canvas_view.h"
#include "ui/canvas/image_canvas.h"
#include "ui/canvas/vector_state.h"
#include "ui/common/window_style.h"
#include "ui/main/main_window.h"
#include "ui/views/decision_map_view.h"
#include "ui/views/training_controls.h"
#include "ui/views/view_docks.h"

using namespace backprop;
using backprop::bench::Spread;
using backprop::bench::SpreadOf;
using backprop::testing::ScriptedDialogs;

namespace {

constexpr int kPatterns = 300;
constexpr int kRounds = 7;

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

// One benchmark: a net, its data and the docks open while it trains.
struct Case {
  const char* name;
  int inputs;
  int outputs;
  const char* netList;
  const char* biasList;
  std::vector<const char*> views;  // object names of the View menu's entries
};

// 300 patterns of `inputs` inputs in -1..1 and `outputs` outputs, each the
// sign of a different mix of the inputs: fixed, so every run trains the same.
std::string DataSet(int inputs, int outputs) {
  std::string text = std::to_string(kPatterns) + "\r\n";
  unsigned state = 12345;
  const auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return ((state >> 8) % 2001) / 1000.0 - 1.0;
  };
  for (int p = 0; p < kPatterns; ++p) {
    std::vector<double> x(static_cast<std::size_t>(inputs));
    for (double& v : x) v = next();
    for (const double v : x) text += std::to_string(v) + ",";
    for (int k = 0; k < outputs; ++k) {
      const auto at = [&](int i) { return x[static_cast<std::size_t>(i % inputs)]; };
      const double mix = at(k) - 0.5 * at(k + 3) + 0.25 * at(k + 7) + 0.1 * at(k + 1) * at(k + 2);
      text += (mix < 0 ? "-1" : "1");
      text += (k + 1 < outputs ? "," : "\r\n");
    }
  }
  return text;
}

std::string Program(const Case& c, int cycles) {
  return std::string("NETLIST=") + c.netList + "\r\nBIASLIST=" + c.biasList +
         "\r\nINITW=2\r\nERRTEST=0\r\nTRAINMAX=" + std::to_string(cycles + 1) + "\r\nTRAIN=1\r\n";
}

void Prepare(Workspace& ws, const Case& c, const std::string& data, int cycles) {
  ApplyDefaults(ws);
  ws.AboutShown = 1;
  ws.TextBuffer(BufferId::TrainingDataD1) = data;
  ws.TextBuffer(BufferId::ProgramS1) = Program(c, cycles);
}

struct Times {
  double cpu = 1e300;
  double wall = 1e300;
};

double ClockSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double ThreadSeconds() { return ClockSeconds(CLOCK_THREAD_CPUTIME_ID); }

// Runs once and keeps the better of the times so far. The window's painting
// can leave the AVX registers' upper halves in use, which slows the scalar
// code after it (see vector_state.h); the program clears them before its
// arithmetic, so every measurement here starts from the same clean state.
template <typename F>
void Measure(Times& best, F&& run) {
  ClearUpperVectorState();
  const double cpuStart = ThreadSeconds();
  const auto wallStart = std::chrono::steady_clock::now();
  run();
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  best.cpu = std::min(best.cpu, ThreadSeconds() - cpuStart);
  best.wall = std::min(best.wall, wall);
}

// Trains the case headless and through the window; prints the ratio.
bool RunCase(MainWindow& window, Workspace& windowWs, const Case& c, int cycles) {
  for (QAction* action : window.findChildren<QAction*>()) {
    if (!action->isCheckable() || !action->objectName().startsWith("View")) continue;
    const bool wanted =
        std::find(c.views.begin(), c.views.end(), action->objectName()) != c.views.end();
    if (action->isChecked() != wanted) action->trigger();
  }
  QApplication::processEvents();
  const std::string data = DataSet(c.inputs, c.outputs);
  Times headless;
  Times windowed;
  std::vector<double> ratios;  // each round's window/headless processor time
  double headlessWeight = 0;
  double windowWeight = 0;
  for (int round = 0; round < kRounds; ++round) {
    // Both runs train in the same workspace, so both meet the same memory
    // layout; with two workspaces the ratio wandered more between runs.
    Workspace& ws = windowWs;
    Prepare(ws, c, data, cycles);
    HeadlessHost host;
    ws.RunMode = kRunProgramS1;
    Times headlessRound;
    Measure(headlessRound, [&] { RunProgram(ws, host); });
    headlessWeight = ws.Weights(1, 1, 2);

    Prepare(windowWs, c, data, cycles);
    Times windowedRound;
    Measure(windowedRound, [&] { window.TN_Click(); });
    ratios.push_back(windowedRound.cpu / headlessRound.cpu);
    headless = {std::min(headless.cpu, headlessRound.cpu), std::min(headless.wall, headlessRound.wall)};
    windowed = {std::min(windowed.cpu, windowedRound.cpu), std::min(windowed.wall, windowedRound.wall)};
    windowWeight = windowWs.Weights(1, 1, 2);
    if (windowWs.TrialCounter != cycles + 1) {
      std::fprintf(stderr, "the window's run stopped early at cycle %g\n",
                   windowWs.TrialCounter.Value());
      return false;
    }
  }
  if (headlessWeight != windowWeight) {
    std::fprintf(stderr, "the two runs trained differently\n");
    return false;
  }
  std::printf("%s, %d cycles, show rate 10:\n", c.name, cycles);
  std::printf("  headless engine  %7.3f s  %7.3f s\n", headless.cpu, headless.wall);
  std::printf("  main window      %7.3f s  %7.3f s\n", windowed.cpu, windowed.wall);
  std::printf("  ratio of bests   %7.3f    %7.3f\n", windowed.cpu / headless.cpu,
              windowed.wall / headless.wall);
  const Spread ratio = SpreadOf(ratios);
  std::printf("  ratio by round   %7.3f median (%.3f-%.3f) over %zu rounds, processor time\n",
              ratio.median, ratio.lowest, ratio.highest, ratio.rounds);
  return true;
}

// The time of one decision map of 100 x 100 points, best of several.
void MeasureMap() {
  const Case net{"2-10-10-10", 2, 10, "4,2,10,10,10", "1,1,1,0", {}};
  Workspace ws;
  Prepare(ws, net, DataSet(2, 10), 20);
  HeadlessHost host;
  ws.RunMode = kRunProgramS1;
  RunProgram(ws, host);
  Times best;
  double sum = 0;
  for (int n = 0; n < 20; ++n) {
    Measure(best, [&] {
      const std::vector<double> grid = OutputGrid(ws, 1, kDecisionMapPoints);
      sum += grid[5050];
    });
  }
  std::printf(
      "decision map of a %s net over %d x %d points: %.2f ms (one frame at 60 Hz: 16.7 ms)%s\n",
      net.name, kDecisionMapPoints, kDecisionMapPoints, best.cpu * 1e3,
      std::isfinite(sum) ? "" : " (not finite)");
}

// The processor time of the whole process over 10 s of a run paused by
// the Training dock, from half a second into the pause.
void MeasurePause(MainWindow& window, Workspace& ws, const Case& c) {
  constexpr int kPauseMs = 10'000;
  Prepare(ws, c, DataSet(c.inputs, c.outputs), 100'000'000);
  QAction* dock = window.findChild<QAction*>("ViewTraining");
  if (!dock->isChecked()) dock->trigger();
  TrainingControls& controls = window.Views().Training();
  controls.SetPaused(true);  // the run holds at its first pattern
  double cpu = 0;
  double wall = 0;
  QTimer::singleShot(500, Qt::PreciseTimer, [&] {
    const double cpuStart = ClockSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const auto wallStart = std::chrono::steady_clock::now();
    QTimer::singleShot(kPauseMs, Qt::PreciseTimer, [&, cpuStart, wallStart] {
      cpu = ClockSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
      wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
      ws.InterruptKey = 27;
    });
  });
  window.TN_Click();
  controls.SetPaused(false);
  dock->trigger();
  std::printf("paused training (%s): %.1f ms of processor time over %.1f s (%.3f %%)\n", c.name,
              cpu * 1e3, wall, wall > 0 ? 100 * cpu / wall : 0.0);
}

// One redraw of the maps of all 21 neurodes of a trained 2-10-10-1 net,
// evaluated and painted onto a drawing of the window's size, best of
// several; the net itself is drawn before each, outside the time.
void MeasureNeurodeMaps(QSize size) {
  const Case net{"2-10-10-1", 2, 1, "4,2,10,10,1", "1,1,1,0", {}};
  Workspace ws;
  Prepare(ws, net, DataSet(2, 1), 20);
  HeadlessHost host;
  ws.RunMode = kRunProgramS1;
  RunProgram(ws, host);
  ImageCanvas canvas(size, WindowFont(), kDrawingForeground, kDrawingBackground);
  Times best;
  for (int n = 0; n < 20; ++n) {
    DrawNet(ws, canvas);
    Measure(best, [&] { DrawNeurodeMaps(ws, canvas); });
  }
  std::printf(
      "neurode maps of a %s net, %d x %d points each, drawn at %dx%d: %.2f ms "
      "(one frame at 60 Hz: 16.7 ms)\n",
      net.name, kNeurodeMapPoints, kNeurodeMapPoints, size.width(), size.height(), best.cpu * 1e3);
}

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The default training limit of 1000 runs 999 cycles.
  const int cycles = argc > 1 ? std::atoi(argv[1]) : 999;

  Workspace windowWs;
  ScriptedDialogs dialogs;
  MainWindow window(windowWs, dialogs);
  window.Form_Load();
  QApplication::processEvents();
  std::printf("main window training, %d patterns, window %dx%d; processor and wall times\n",
              kPatterns, window.width(), window.height());

  const std::vector<Case> cases = {
      {"10 layers of 10, no views",
       10,
       10,
       "10,10,10,10,10,10,10,10,10,10,10",
       "1,1,1,1,1,1,1,1,1,0",
       {}},
      {"10 layers of 10, both views open (the map shows it needs two inputs)",
       10,
       10,
       "10,10,10,10,10,10,10,10,10,10,10",
       "1,1,1,1,1,1,1,1,1,0",
       {"ViewErrorCurve", "ViewDecisionMap"}},
      {"10 layers of 10, Training dock open at full speed",
       10,
       10,
       "10,10,10,10,10,10,10,10,10,10,10",
       "1,1,1,1,1,1,1,1,1,0",
       {"ViewTraining"}},
      {"2-10-10-1, error curve and decision map open",
       2,
       1,
       "4,2,10,10,1",
       "1,1,1,0",
       {"ViewErrorCurve", "ViewDecisionMap"}},
  };
  for (const Case& c : cases) {
    if (!RunCase(window, windowWs, c, cycles)) return 1;
  }
  MeasureMap();
  MeasurePause(window, windowWs, cases.back());
  MeasureNeurodeMaps(window.View().size());
  return 0;
}
