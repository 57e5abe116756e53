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
#include "engine/training.h"
#include "engine/workspace.h"

namespace backprop::bench {
namespace {

constexpr double kEpsilon = 0.05;

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
    ApplyDefaults(ws_);
    const int layers = static_cast<int>(net.sizes.size());
    ws_.LayerCount = layers;
    for (int k = 1; k <= layers; ++k) {
      ws_.LayerSizes(k) = net.sizes[static_cast<std::size_t>(k - 1)];
      ws_.BiasFlags(k) = k < layers ? 1 : 0;
    }
    for (int h = 1; h < layers; ++h) {
      const auto& rows = net.weights[static_cast<std::size_t>(h)];
      for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t j = 1; j < rows[i].size(); ++j) {
          ws_.Weights(static_cast<int>(i), static_cast<int>(j), h) = rows[i][j];
        }
      }
    }
    ws_.TextBuffer(BufferId::TrainingDataD1) = DataSetText(net);
    ws_.SelectedSet = 1;
    ws_.RunMode = 1;
    ws_.Epsilon = kEpsilon;
    ws_.ErrorTest = 0;  // every run trains the same number of cycles
    ws_.TrainingLimit = net.cyclesPerRun + 1;
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

// Keeps the best pattern updates per second of every benchmark (the least
// disturbed of its repetitions) for the closing ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      const auto counter = run.counters.find("items_per_second");
      if (counter == run.counters.end()) continue;
      double& best = best_[run.run_name.function_name];
      best = std::max(best, static_cast<double>(counter->second.value));
    }
  }

  void PrintRatios(const std::vector<BenchNet>& nets) const {
    std::printf("\n%-18s %16s %16s %10s\n", "net", "engine upd/s", "FANN upd/s", "engine/FANN");
    for (const BenchNet& net : nets) {
      const double ours = Find("engine/" + net.name);
      const double theirs = Find("fann/" + net.name);
      std::printf("%-18s %16.0f %16.0f %10.2f\n", net.name.c_str(), ours, theirs,
                  theirs > 0 ? ours / theirs : 0.0);
    }
  }

 private:
  double Find(const std::string& name) const {
    const auto found = best_.find(name);
    return found == best_.end() ? 0.0 : found->second;
  }
  std::map<std::string, double> best_;
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
        ->Repetitions(5)
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
        ->Repetitions(5)
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
