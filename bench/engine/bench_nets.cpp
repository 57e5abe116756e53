// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/engine/bench_nets.h"

#include <cstdio>
#include <random>

#include "engine/workspace.h"

namespace backprop::bench {

namespace {

void FillWeights(BenchNet& net, std::mt19937& random) {
  std::uniform_real_distribution<double> weight(-0.5, 0.5);
  net.weights.assign(net.sizes.size(), {});
  for (std::size_t h = 1; h < net.sizes.size(); ++h) {
    net.weights[h].assign(static_cast<std::size_t>(net.sizes[h - 1] + 1),
                          std::vector<double>(static_cast<std::size_t>(net.sizes[h] + 1), 0.0));
    for (auto& row : net.weights[h]) {
      for (std::size_t j = 1; j < row.size(); ++j) row[j] = weight(random);
    }
  }
}

BenchNet RandomNet(const std::string& name, std::vector<int> sizes, int patterns, int cycles,
                   unsigned seed) {
  BenchNet net{name, std::move(sizes), {}, {}, cycles, {}};
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> input(-1.0, 1.0);
  std::uniform_real_distribution<double> target(-0.9, 0.9);
  for (int p = 0; p < patterns; ++p) {
    std::vector<double> in(static_cast<std::size_t>(net.sizes.front()));
    std::vector<double> out(static_cast<std::size_t>(net.sizes.back()));
    for (double& v : in) v = input(random);
    for (double& v : out) v = target(random);
    net.inputs.push_back(in);
    net.targets.push_back(out);
  }
  FillWeights(net, random);
  return net;
}

}  // namespace

std::vector<BenchNet> BenchNets() {
  std::vector<BenchNet> nets;
  BenchNet xorNet{
      "XOR 2-2-1", {2, 2, 1}, {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}}, {{-1}, {1}, {1}, {-1}},
      1000,        {}};
  std::mt19937 random(1);
  FillWeights(xorNet, random);
  nets.push_back(xorNet);
  nets.push_back(RandomNet("10-10-10", {10, 10, 10}, 300, 100, 2));
  nets.push_back(RandomNet("10 layers of 10", std::vector<int>(10, 10), 300, 30, 3));
  return nets;
}

std::string DataSetText(const BenchNet& net) {
  std::string text = std::to_string(net.PatternCount()) + "\r\n";
  char number[32];
  for (int p = 0; p < net.PatternCount(); ++p) {
    std::string line;
    auto add = [&](double v) {
      std::snprintf(number, sizeof number, "%.17g", v);
      if (!line.empty()) line += ",";
      line += number;
    };
    for (double v : net.inputs[static_cast<std::size_t>(p)]) add(v);
    for (double v : net.targets[static_cast<std::size_t>(p)]) add(v);
    text += line + "\r\n";
  }
  return text;
}

void PrepareWorkspace(const BenchNet& net, int cycles, Workspace& ws) {
  ApplyDefaults(ws);
  const int layers = static_cast<int>(net.sizes.size());
  ws.LayerCount = layers;
  for (int k = 1; k <= layers; ++k) {
    ws.LayerSizes(k) = net.sizes[static_cast<std::size_t>(k - 1)];
    ws.BiasFlags(k) = k < layers ? 1 : 0;
  }
  for (int h = 1; h < layers; ++h) {
    const auto& rows = net.weights[static_cast<std::size_t>(h)];
    for (std::size_t i = 0; i < rows.size(); ++i) {
      for (std::size_t j = 1; j < rows[i].size(); ++j) {
        ws.Weights(static_cast<int>(i), static_cast<int>(j), h) = rows[i][j];
      }
    }
  }
  ws.TextBuffer(BufferId::TrainingDataD1) = DataSetText(net);
  ws.SelectedSet = 1;
  ws.RunMode = 1;
  ws.ErrorTest = 0;
  ws.TrainingLimit = cycles + 1;
}

}  // namespace backprop::bench
