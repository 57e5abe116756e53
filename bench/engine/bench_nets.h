// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace backprop {
struct Workspace;
}

namespace backprop::bench {

// One benchmark net: its layer sizes, its patterns (inputs then targets, in
// -1..1) and the starting weights shared by both trainers.
struct BenchNet {
  std::string name;
  std::vector<int> sizes;                    // non-bias neurodes, input layer first
  std::vector<std::vector<double>> inputs;   // per pattern
  std::vector<std::vector<double>> targets;  // per pattern
  int cyclesPerRun = 1;                      // training cycles timed as one run
  // weights[h][i][j]: from node i of layer h (0 = bias) to node j of layer
  // h + 1, layers counted from 1 as in the engine; every non-output layer
  // has a bias neurode.
  std::vector<std::vector<std::vector<double>>> weights;

  int PatternCount() const { return static_cast<int>(inputs.size()); }
};

// The exclusive-or net 2-2-1, 10-10-10 and ten layers of ten neurodes, the
// latter two on 300 patterns of reproducible pseudo-random data.
std::vector<BenchNet> BenchNets();

// The data set text of a net, as a user would type it: count, then one
// pattern per line.
std::string DataSetText(const BenchNet& net);

// The workspace as a network program would leave it before TRAIN=1 on the
// net: defaults, its geometry (bias neurodes on every layer but the last),
// its starting weights and its data in D1, the error test off so that every
// run trains `cycles` cycles.
void PrepareWorkspace(const BenchNet& net, int cycles, Workspace& ws);

}  // namespace backprop::bench
