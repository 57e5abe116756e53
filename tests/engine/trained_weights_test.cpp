// SPDX-License-Identifier: GPL-3.0-or-later
// Training gives the same numbers to the last bit, release after release:
// the benchmark nets, the demonstration sets, every transfer function and
// output mode on nets with and without hidden layers and bias neurodes,
// training by hand, and runs that end in an overflow. Every weight, node
// value, slope and delta of the net, a digest of the reports and any run
// error are compared with values recorded in trained_weights.txt.
// BACKPROP_RECORD_TRAINED_WEIGHTS=1 writes that file afresh instead.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "bench/engine/bench_nets.h"
#include "engine/interpreter.h"
#include "engine/pattern_step.h"
#include "engine/training.h"
#include "engine/workspace.h"
#include "tests/support/recording_canvas.h"

namespace backprop {
namespace {

using testing::ScriptedHost;

std::string Hex(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%a", value);
  return text;
}

// FNV-1a over every text the run wrote.
std::string Digest(const testing::RecordingCanvas& canvas) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const testing::PlacedText& t : canvas.texts) {
    for (const char c : t.text + "|") {
      hash ^= static_cast<unsigned char>(c);
      hash *= 1099511628211ull;
    }
  }
  char text[20];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

// The net's numbers as lines of text, every double in hexadecimal.
std::string NetState(const std::string& name, const Workspace& ws, const ScriptedHost& host) {
  std::ostringstream out;
  out << "case " << name << "\n";
  const int layers = static_cast<int>(ws.LayerCount);
  for (int h = 1; h < layers; ++h) {
    for (int i = 0; i <= static_cast<int>(ws.LayerSizes(h)); ++i) {
      out << "w " << h << " " << i;
      for (int j = 1; j <= static_cast<int>(ws.LayerSizes(h + 1)); ++j) {
        out << " " << Hex(ws.Weights(i, j, h));
      }
      out << "\n";
    }
  }
  for (int k = 1; k <= layers; ++k) {
    out << "n " << k;
    for (int j = 0; j <= static_cast<int>(ws.LayerSizes(k)); ++j) {
      out << " " << Hex(ws.NodeValues(j, k)) << "/" << Hex(ws.Slopes(j, k)) << "/"
          << Hex(ws.Deltas(j, k));
    }
    out << "\n";
  }
  out << "trial " << Hex(ws.TrialCounter) << " reports " << Digest(host.canvas) << "\n";
  for (const std::string& warning : host.warnings) {
    std::string line = warning;
    for (char& c : line) {
      if (c == '\n' || c == '\r') c = '|';
    }
    out << "warning " << line << "\n";
  }
  return out.str();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs Program S1 of a workspace (or S2 with runMode 2).
void Run(Workspace& ws, ScriptedHost& host, int runMode) {
  ws.RunMode = runMode;
  RunProgram(ws, host);
}

// The demonstration set BASE from demo/, loaded as File Control loads it.
void LoadDemo(Workspace& ws, const std::string& base) {
  const std::string stem = std::string(BACKPROP_SOURCE_DIR) + "/demo/" + base;
  ws.TextBuffer(BufferId::ProgramS1) = ReadFile(stem + ".pr1");
  ws.TextBuffer(BufferId::ProgramS2) = ReadFile(stem + ".pr2");
  ws.TextBuffer(BufferId::TrainingDataD1) = ReadFile(stem + ".ds1");
  ws.TextBuffer(BufferId::TrainingDataD2) = ReadFile(stem + ".ds2");
  ws.TextBuffer(BufferId::TestSetT1) = ReadFile(stem + ".qs1");
}

// Deterministic values in -0.9..0.9 with no pattern to them.
double Scatter(int seed) {
  const double v = std::sin(seed * 12.9898 + 78.233) * 43758.5453;
  return 1.8 * (v - std::floor(v)) - 0.9;
}

// A net of the given sizes and bias flags with scattered weights and five
// scattered patterns in D1.
void ScatteredNet(Workspace& ws, const std::vector<int>& sizes, const std::vector<int>& bias) {
  ApplyDefaults(ws);
  const int layers = static_cast<int>(sizes.size());
  ws.LayerCount = layers;
  for (int k = 1; k <= layers; ++k) {
    ws.LayerSizes(k) = sizes[static_cast<std::size_t>(k - 1)];
    ws.BiasFlags(k) = bias[static_cast<std::size_t>(k - 1)];
  }
  int seed = 1;
  for (int h = 1; h < layers; ++h) {
    for (int i = 0; i <= sizes[static_cast<std::size_t>(h - 1)]; ++i) {
      for (int j = 1; j <= sizes[static_cast<std::size_t>(h)]; ++j) {
        ws.Weights(i, j, h) = Scatter(seed++);
      }
    }
  }
  std::ostringstream text;
  text.precision(17);
  constexpr int kPatterns = 5;
  text << kPatterns << "\r\n";
  for (int p = 0; p < kPatterns; ++p) {
    for (int i = 0; i < sizes.front(); ++i) text << Scatter(1000 + 37 * p + i) << ",";
    for (int j = 0; j < sizes.back(); ++j) {
      text << Scatter(2000 + 41 * p + j) << (j + 1 < sizes.back() ? "," : "");
    }
    text << "\r\n";
  }
  ws.TextBuffer(BufferId::TrainingDataD1) = text.str();
  ws.SelectedSet = 1;
  ws.RunMode = 1;
  ws.Epsilon = 0.05;
  ws.ShowRate = 3;
}

// Every case, in order, as the text that trained_weights.txt holds.
std::string AllCases() {
  std::string all;
  const auto add = [&all](const std::string& name, const std::function<void(Workspace&, ScriptedHost&)>& train) {
    Workspace ws;
    ScriptedHost host;
    train(ws, host);
    all += NetState(name, ws, host);
  };

  // The benchmark nets, fewer cycles than the benchmark runs.
  for (const bench::BenchNet& net : bench::BenchNets()) {
    add("bench " + net.name, [&net](Workspace& ws, ScriptedHost& host) {
      bench::PrepareWorkspace(net, std::min(net.cyclesPerRun, 3000 / net.PatternCount() + 2), ws);
      TrainNet(ws, host);
    });
  }

  // The demonstration sets: Run(S1), then Run(S2) on the trained net.
  for (const char* base : {"Demo", "Equations"}) {
    add(std::string("demo ") + base, [base](Workspace& ws, ScriptedHost& host) {
      ApplyDefaults(ws);
      LoadDemo(ws, base);
      Run(ws, host, 1);
      Run(ws, host, 2);
    });
  }

  // Every transfer function and output mode on nets of several shapes.
  const std::vector<std::pair<std::vector<int>, std::vector<int>>> nets = {
      {{2, 2, 1}, {1, 1, 0}},       {{3, 5, 6, 2}, {1, 0, 1, 0}},
      {{5, 9, 4, 3}, {0, 0, 0, 0}}, {{4, 3}, {1, 1}},
      {{2, 3, 0, 2}, {1, 1, 1, 0}}, {{1, 7, 10, 5, 1}, {0, 1, 0, 2, 1}},
      {{3}, {1}},
  };
  for (std::size_t n = 0; n < nets.size(); ++n) {
    for (const double code : {1.0, 2.0, 3.0, 4.0, 7.0}) {
      for (const double mode : {0.0, 1.0, 2.0}) {
        std::ostringstream name;
        name << "net " << n << " function " << code << " mode " << mode;
        add(name.str(), [&, code, mode](Workspace& ws, ScriptedHost& host) {
          ScatteredNet(ws, nets[n].first, nets[n].second);
          ws.TransferFunction = code;
          ws.OutputMode = mode;
          ws.AnalogThreshold = 0.3;
          ws.TrainingLimit = 12;
          TrainNet(ws, host);
        });
      }
    }
  }

  // Parameters changed at a yield: the tangent, then an unknown code, and
  // epsilon halved from the seventh pattern on.
  add("changed at a yield", [](Workspace& ws, ScriptedHost& host) {
    ScatteredNet(ws, {3, 5, 6, 2}, {1, 0, 1, 0});
    host.onYield = [&ws](int yield) {
      if (yield == 3) ws.TransferFunction = 9;
      if (yield == 7) ws.Epsilon = 0.025;
    };
    ws.TrainingLimit = 5;
    TrainNet(ws, host);
  });

  // Training by hand: two patterns applied, one cycle, another pattern.
  add("by hand", [](Workspace& ws, ScriptedHost& host) {
    ScatteredNet(ws, {2, 3, 2}, {1, 1, 0});
    ApplyPatternStep(ws, host, 1, 2);
    ApplyPatternStep(ws, host, 1, 5);
    TrainOneCycle(ws, host, 1);
    ApplyPatternStep(ws, host, 1, 1);
  });

  // Linear nets whose weights grow until a step overflows, after the first
  // pattern of a cycle and in the middle of one, early and late in a run.
  for (const double epsilon : {40.0, 60.0, 80.0, 100.0, 120.0, 150.0, 700.0, 0.32, 0.36, 1e150}) {
    std::ostringstream name;
    name << "overflow epsilon " << epsilon;
    add(name.str(), [epsilon](Workspace& ws, ScriptedHost& host) {
      if (epsilon > 1) {
        ScatteredNet(ws, {3, 2}, {1, 0});
      } else {
        ScatteredNet(ws, {3, 4, 4, 2}, {1, 1, 1, 0});
      }
      ws.TextBuffer(BufferId::ProgramS1) = "TRAIN=1";
      ws.TransferFunction = 1;
      ws.Epsilon = epsilon;
      ws.ErrorTest = 0;
      ws.TrainingLimit = 3000;
      Run(ws, host, 1);
    });
  }
  return all;
}

// Every line of `actual` against `expected`, naming the case of the first few that differ.
void ExpectSameLines(const std::string& expected, const std::string& actual, const char* what) {
  std::istringstream a(actual);
  std::istringstream e(expected);
  std::string actualLine;
  std::string expectedLine;
  std::string currentCase;
  int mismatches = 0;
  while (std::getline(e, expectedLine)) {
    if (!std::getline(a, actualLine)) actualLine = "(nothing)";
    if (expectedLine.rfind("case ", 0) == 0) currentCase = expectedLine;
    if (actualLine != expectedLine && ++mismatches <= 10) {
      ADD_FAILURE() << what << ", " << currentCase << "\n  expected: " << expectedLine
                    << "\n  actual:   " << actualLine;
    }
  }
  EXPECT_EQ(mismatches, 0) << what;
  EXPECT_FALSE(std::getline(a, actualLine)) << what << ": more cases than recorded: " << actualLine;
}

TEST(TrainedWeights, AreThoseRecordedToTheLastBit) {
  const std::string path = std::string(BACKPROP_SOURCE_DIR) + "/tests/engine/trained_weights.txt";
  const std::string actual = AllCases();
  if (std::getenv("BACKPROP_RECORD_TRAINED_WEIGHTS") != nullptr) {
    std::ofstream(path, std::ios::binary) << actual;
    GTEST_SKIP() << "recorded " << path;
  }
  const std::string expected = ReadFile(path);
  ASSERT_FALSE(expected.empty()) << path;
  ExpectSameLines(expected, actual, "this processor's build");
  // The base instructions give the very same numbers as the vector build.
  UseBaseInstructionsOnly(true);
  const std::string base = AllCases();
  UseBaseInstructionsOnly(false);
  ExpectSameLines(expected, base, "the base instruction set");
}

}  // namespace
}  // namespace backprop
