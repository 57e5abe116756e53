// SPDX-License-Identifier: GPL-3.0-or-later
// Training throughput, in pattern updates per second, of TrainNet and of
// FANN on the same nets, data and starting weights, and the ratio of the two.
// TrainNet runs as in the window, reporting after every cycle and redrawing
// every tenth, on a canvas and a host that do nothing.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/engine/bench_nets.h"
#include "bench/engine/fann_trainer.h"
#include "engine/host.h"
#include "bench/null_canvas.h"
#include "bench/spread.h"
#include "engine/training.h"
#include "engine/workspace.h"

namespace backprop::bench {
namespace {

constexpr double kEpsilon = 0.05;
// Rounds of every benchmark, each giving one engine/FANN ratio.
constexpr int kRounds = 7;

class NullHost : public Host {
 public:
  Canvas& MainCanvas() override { return canvas_; }
  void YieldToEvents() override {}
  void ShowWarning(const std::string& message) override { throw std::runtime_error(message); }

 private:
  NullCanvas canvas_;
};

// The engine set up as a network program would leave it before TRAIN=1.
class EngineTrainer {
 public:
  explicit EngineTrainer(const BenchNet& net) {
    PrepareWorkspace(net, net.cyclesPerRun, ws_);
    ws_.Epsilon = kEpsilon;
    start_ = ws_.Weights;
  }

  void Run() {
    ws_.Weights = start_;
    if (TrainNet(ws_, host_) != TrainOutcome::Finished) throw std::runtime_error("interrupted");
  }

 private:
  Workspace ws_;
  NullHost host_;
  WeightTable start_;
};

void SetThroughput(benchmark::State& state, const BenchNet& net) {
  state.SetItemsProcessed(state.iterations() * net.cyclesPerRun * net.PatternCount());
}

// The round-by-round ratios of engine to FANN: every repetition of a
// benchmark is one round, and the engine's and FANN's runs of the same
// round (interleaved with the others) make one ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      const auto counter = run.counters.find("items_per_second");
      if (counter == run.counters.end()) continue;
      std::vector<double>& rounds = rounds_[run.run_name.function_name];
      const auto index = static_cast<std::size_t>(run.repetition_index);
      if (rounds.size() <= index) rounds.resize(index + 1);
      rounds[index] = counter->second.value;
    }
  }

  void PrintRatios(const std::vector<BenchNet>& nets) const {
    std::printf("\nbuild: %s\n", BACKPROP_BUILD_FLAGS);
    std::printf("\n%-18s %14s %14s %30s\n", "net", "engine upd/s", "FANN upd/s",
                "engine/FANN: median (lowest-highest)");
    for (const BenchNet& net : nets) {
      const std::vector<double> ours = Find("engine/" + net.name);
      const std::vector<double> theirs = Find("fann/" + net.name);
      std::vector<double> ratios;
      for (std::size_t r = 0; r < std::min(ours.size(), theirs.size()); ++r) {
        if (theirs[r] > 0) ratios.push_back(ours[r] / theirs[r]);
      }
      if (ratios.empty()) continue;
      const Spread ratio = SpreadOf(ratios);
      std::printf("%-18s %14.0f %14.0f %14.2f (%.2f-%.2f) over %zu rounds\n", net.name.c_str(),
                  SpreadOf(ours).median, SpreadOf(theirs).median, ratio.median, ratio.lowest,
                  ratio.highest, ratio.rounds);
    }
  }

 private:
  std::vector<double> Find(const std::string& name) const {
    const auto found = rounds_.find(name);
    return found == rounds_.end() ? std::vector<double>{} : found->second;
  }
  std::map<std::string, std::vector<double>> rounds_;
};

}  // namespace
}  // namespace backprop::bench

int main(int argc, char** argv) {
  using namespace backprop::bench;
  const std::vector<BenchNet> nets = BenchNets();
  for (const BenchNet& net : nets) {
    benchmark::RegisterBenchmark(("engine/" + net.name).c_str(),
                                 [&net](benchmark::State& state) {
                                   auto trainer = std::make_unique<EngineTrainer>(net);
                                   for (auto _ : state) trainer->Run();
                                   SetThroughput(state, net);
                                 })
        ->Repetitions(kRounds)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("fann/" + net.name).c_str(),
                                 [&net](benchmark::State& state) {
                                   FannTrainer trainer(net, kEpsilon);
                                   for (auto _ : state) {
                                     trainer.ResetWeights();
                                     for (int cycle = 0; cycle < net.cyclesPerRun; ++cycle) {
                                       benchmark::DoNotOptimize(trainer.TrainCycle());
                                     }
                                   }
                                   SetThroughput(state, net);
                                 })
        ->Repetitions(kRounds)
        ->Unit(benchmark::kMillisecond);
  }
  // Interleaved repetitions share out the disturbance of a busy machine
  // between the two trainers; the command line can still override it.
  std::vector<char*> args(argv, argv + argc);
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave.data());
  argc = static_cast<int>(args.size());
  argv = args.data();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios(nets);
  benchmark::Shutdown();
  return 0;
}
