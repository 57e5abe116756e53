// SPDX-License-Identifier: GPL-3.0-or-later
// Training checked against a plain, unoptimised back-propagation written out
// here loop by loop: every neurode, slope, delta and weight after a few
// cycles, and every cycle's report, for nets with and without hidden layers
// and bias neurodes, every transfer function, an unknown code and the three
// kinds of output mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/number_text.h"
#include "engine/training.h"
#include "engine/workspace.h"
#include "tests/support/recording_canvas.h"

namespace backprop {
namespace {

using testing::ScriptedHost;

// A net written out as plain arrays, trained the slow and obvious way.
struct ReferenceNet {
  int layers = 0;
  int size[11] = {};
  double bias[11] = {};
  double w[11][11][11] = {};  // [source][target][source layer]
  double out[11][11] = {};    // [node][layer]
  double slope[11][11] = {};
  double delta[11][11] = {};
  double carriedSlope = 0.0;  // what an unknown code leaves in place

  double Transfer(double code, double x) {
    if (code == 1) {
      carriedSlope = 1.0;
      return x;
    }
    if (code == 2) {
      const double y = (std::exp(x) - std::exp(-x)) / (std::exp(x) + std::exp(-x));
      carriedSlope = 1.0 - y * y;
      return y;
    }
    if (code == 3) {
      carriedSlope = 1.0 / (1.0 + x * x);
      return std::atan(x) / 1.570796;
    }
    if (code == 4) {
      carriedSlope = 1.0;
      return x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0);
    }
    return x;
  }

  // One pattern: forward pass, deltas, then the weight update; returns the
  // pattern's share of the error.
  double TrainPattern(const std::vector<double>& inputs, const std::vector<double>& targets,
                      double code, double epsilon, double outputMode) {
    for (int k = 1; k <= layers; ++k) out[0][k] = bias[k];
    for (int i = 1; i <= size[1]; ++i) out[i][1] = inputs[static_cast<std::size_t>(i - 1)];
    for (int k = 2; k <= layers; ++k) {
      for (int j = 1; j <= size[k]; ++j) {
        double x = 0.0;
        for (int i = 0; i <= size[k - 1]; ++i) x += w[i][j][k - 1] * out[i][k - 1];
        out[j][k] = Transfer(code, x);
        slope[j][k] = carriedSlope;
      }
    }
    const int last = layers;
    double error = 0.0;
    for (int j = 1; j <= size[last]; ++j) {
      const double e = targets[static_cast<std::size_t>(j - 1)] - out[j][last];
      error += (outputMode == 1) ? e * e : std::floor(3.2 * (e * e));
      delta[j][last] = slope[j][last] * e;
    }
    for (int h = last - 1; h >= 2; --h) {
      for (int i = 1; i <= size[h]; ++i) {
        double sum = 0.0;
        for (int j = 1; j <= size[h + 1]; ++j) sum += slope[i][h] * (w[i][j][h] * delta[j][h + 1]);
        delta[i][h] = sum;
      }
    }
    for (int h = last - 1; h >= 1; --h) {
      for (int i = 0; i <= size[h]; ++i) {
        for (int j = 1; j <= size[h + 1]; ++j)
          w[i][j][h] += out[i][h] * (delta[j][h + 1] * epsilon);
      }
    }
    return error;
  }
};

struct NetCase {
  std::vector<int> sizes;
  std::vector<int> biasFlags;
};

// Deterministic values in -0.9..0.9 with no pattern to them.
double Scatter(int seed) {
  const double v = std::sin(seed * 12.9898 + 78.233) * 43758.5453;
  return 1.8 * (v - std::floor(v)) - 0.9;
}

constexpr int kPatterns = 5;

class TrainingReferenceTest : public ::testing::Test {
 protected:
  // Fills both the workspace and the reference with the same net, weights
  // and data set.
  void Prepare(const NetCase& net, double code, double outputMode, double weightScale = 1.0) {
    ws = Workspace();
    ApplyDefaults(ws);
    ref = ReferenceNet();
    const int layers = static_cast<int>(net.sizes.size());
    ws.LayerCount = layers;
    ref.layers = layers;
    for (int k = 1; k <= layers; ++k) {
      ws.LayerSizes(k) = net.sizes[static_cast<std::size_t>(k - 1)];
      ws.BiasFlags(k) = net.biasFlags[static_cast<std::size_t>(k - 1)];
      ref.size[k] = net.sizes[static_cast<std::size_t>(k - 1)];
      ref.bias[k] = net.biasFlags[static_cast<std::size_t>(k - 1)];
    }
    int seed = 1;
    for (int h = 1; h < layers; ++h) {
      for (int i = 0; i <= ref.size[h]; ++i) {
        for (int j = 1; j <= ref.size[h + 1]; ++j) {
          ref.w[i][j][h] = weightScale * Scatter(seed++);
          ws.Weights(i, j, h) = ref.w[i][j][h];
        }
      }
    }
    std::ostringstream text;
    text.precision(17);
    text << kPatterns << "\r\n";
    inputs.assign(kPatterns, {});
    targets.assign(kPatterns, {});
    for (int p = 0; p < kPatterns; ++p) {
      for (int i = 0; i < ref.size[1]; ++i) inputs[p].push_back(Scatter(1000 + 37 * p + i));
      for (int j = 0; j < ref.size[layers]; ++j) targets[p].push_back(Scatter(2000 + 41 * p + j));
      for (double v : inputs[p]) text << v << ",";
      for (std::size_t j = 0; j < targets[p].size(); ++j) {
        text << targets[p][j] << (j + 1 < targets[p].size() ? "," : "");
      }
      text << "\r\n";
    }
    ws.TextBuffer(BufferId::TrainingDataD1) = text.str();
    ws.SelectedSet = 1;
    ws.RunMode = 1;
    ws.TransferFunction = code;
    ws.OutputMode = outputMode;
    ws.ErrorTest = 0;
    ws.ShowRate = 1000;
    ws.Epsilon = 0.05;
  }

  // The report the reference expects for a cycle with this error sum.
  std::string ErrorReport(double sum) const {
    if (ws.OutputMode == 0) return "Error=" + PrintForm(sum) + "  ";
    return "Error=" + FormatPattern(sum, " ##.######") + "      ";
  }

  // Trains `cycles` cycles both ways; `codeAt(p)` gives the transfer code in
  // force from the yield before the p-th pattern on.
  void TrainBoth(int cycles, const std::function<double(int)>& codeAt) {
    ws.TrainingLimit = cycles + 1;
    host.onYield = [&](int yield) { ws.TransferFunction = codeAt(yield); };
    try {
      ASSERT_EQ(TrainNet(ws, host), TrainOutcome::Finished);
    } catch (const std::exception& e) {
      FAIL() << e.what();
    }
    int yield = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
      double sum = 0.0;
      for (int p = 0; p < kPatterns; ++p) {
        sum += ref.TrainPattern(inputs[p], targets[p], codeAt(++yield), ws.Epsilon, ws.OutputMode);
      }
      expectedReports.push_back("Trial=" + PrintForm(cycle));
      expectedReports.push_back(ErrorReport(sum));
    }
  }

  // Every cell that training writes, against the reference.
  void ExpectSameNet(const std::string& what) const {
    auto near = [](double actual, double expected) {
      return std::fabs(actual - expected) <= 1e-10 * std::max(1.0, std::fabs(expected));
    };
    for (int k = 1; k <= ref.layers; ++k) {
      for (int j = 1; j <= ref.size[k]; ++j) {
        EXPECT_PRED2(near, ws.NodeValues(j, k), ref.out[j][k]) << what << " node " << j << "," << k;
        if (k >= 2) {
          EXPECT_PRED2(near, ws.Slopes(j, k), ref.slope[j][k])
              << what << " slope " << j << "," << k;
          EXPECT_PRED2(near, ws.Deltas(j, k), ref.delta[j][k])
              << what << " delta " << j << "," << k;
        }
      }
    }
    for (int h = 1; h < ref.layers; ++h) {
      for (int i = 0; i <= ref.size[h]; ++i) {
        for (int j = 1; j <= ref.size[h + 1]; ++j) {
          EXPECT_PRED2(near, ws.Weights(i, j, h), ref.w[i][j][h])
              << what << " weight " << i << "," << j << "," << h;
        }
      }
    }
    std::vector<std::string> reports;
    for (const testing::PlacedText& t : host.canvas.texts) reports.push_back(t.text);
    EXPECT_EQ(reports, expectedReports) << what;
  }

  Workspace ws;
  ReferenceNet ref;
  ScriptedHost host;
  std::vector<std::vector<double>> inputs;
  std::vector<std::vector<double>> targets;
  std::vector<std::string> expectedReports;
};

const NetCase kNets[] = {
    {{2, 2, 1}, {1, 1, 0}},                     // the exclusive-or shape
    {{3, 5, 6, 2}, {1, 0, 1, 0}},               // two hidden layers, mixed bias
    {{5, 9, 4, 3}, {0, 0, 0, 0}},               // no bias anywhere
    {{4, 3}, {1, 1}},                           // no hidden layer
    {{2, 3, 0, 2}, {1, 1, 1, 0}},               // a hidden layer feeding an empty one
    {{10, 10, 10, 10, 10, 10, 10, 10, 10, 10},  // the largest net
     {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
    {{1, 7, 10, 5, 1}, {0, 1, 0, 1, 1}},
};

TEST_F(TrainingReferenceTest, EveryFunctionAndOutputModeMatchesAPlainComputation) {
  for (const NetCase& net : kNets) {
    for (double code : {1.0, 2.0, 3.0, 4.0, 7.0}) {
      for (double mode : {0.0, 1.0, 2.0}) {
        std::ostringstream what;
        what << "net of " << net.sizes.size() << " layers, first " << net.sizes[0] << ", function "
             << code << ", output mode " << mode;
        SCOPED_TRACE(what.str());
        // Ten linear layers multiply their inputs: smaller weights keep the
        // largest net finite.
        Prepare(net, code, mode, code == 1 && net.sizes.size() == 10 ? 0.2 : 1.0);
        host = ScriptedHost();
        expectedReports.clear();
        TrainBoth(3, [code](int) { return code; });
        ExpectSameNet(what.str());
      }
    }
  }
}

TEST_F(TrainingReferenceTest, AnUnknownCodeKeepsTheLastSlopeComputed) {
  // The tangent for the first two patterns, then an unknown code: every
  // later slope is the one the last neurode of pattern 2 left.
  for (const NetCase& net : {kNets[0], kNets[1], kNets[6]}) {
    Prepare(net, 2, 1);
    host = ScriptedHost();
    expectedReports.clear();
    TrainBoth(2, [](int yield) { return yield <= 2 ? 2.0 : 9.0; });
    ExpectSameNet("unknown code after the tangent");
    EXPECT_NE(ref.carriedSlope, 0.0);
    EXPECT_NEAR(ws.Slopes(1, 2), ref.carriedSlope, 1e-12) << "no slope of its own";
  }
}

}  // namespace
}  // namespace backprop
