#pragma once

#include <array>
#include <string>

#include "engine/net_geometry.h"

namespace backprop {

struct DataSetValues;
struct Workspace;

// Numbers by layer k (1..10) and neurode j (0..10, 0 the bias neurode).
using NodeNumbers = std::array<std::array<double, kMaxNeurodes + 1>, kMaxLayers + 1>;
// Numbers by source layer h, source neurode i and target neurode j.
using WeightNumbers = std::array<NodeNumbers, kMaxLayers + 1>;

// Everything one pattern's step of training computes, number by number:
// what the arithmetic view shows and `backprop-run --explain` prints.
struct PatternArithmetic {
  int set = 0;      // the training set, 1 or 2
  int pattern = 0;  // 1..patternCount
  int patternCount = 0;
  NetGeometry geometry;
  double epsilon = 0.0;  // the learning rate
  bool analog = true;    // error share e^2, else the digital count
  std::array<double, kMaxNeurodes + 1> rawInputs{};
  std::array<double, kMaxNeurodes + 1> scaledInputs{};
  std::array<double, kMaxNeurodes + 1> rawTargets{};
  std::array<double, kMaxNeurodes + 1> targets{};      // scaled to -1..1
  std::array<double, kMaxNeurodes + 1> errors{};       // e = target - output
  std::array<double, kMaxNeurodes + 1> errorShares{};  // each e's share of the error sum
  double errorShare = 0.0;                             // the pattern's share
  NodeNumbers net{};       // net input of layers 2..L (the sum includes the bias neurode)
  NodeNumbers output{};    // f(net); layer 1 holds the scaled inputs, neurode 0 the bias output
  NodeNumbers slope{};     // f'(net)
  NodeNumbers delta{};     // the back-propagated error term of layers 2..L
  WeightNumbers weight{};  // w(i, j, h) before the step
  WeightNumbers change{};  // its change, epsilon * o(i, h) * delta(j, h + 1)
  WeightNumbers newWeight{};
};

// The arithmetic of pattern `pattern` of training set `set` (1 or 2) with
// the current weights and parameters, computed by the very code training
// runs, without changing the workspace. The set's text is read and scaled
// as a load reads it. Throws EngineError with the reason for an empty set, a
// pattern outside 1..PatternCount, a geometry beyond the tables or a net
// input or error that overflows.
PatternArithmetic ExplainPattern(const Workspace& ws, int set, int pattern);
// The same for set `set` already read by ReadDataSet.
PatternArithmetic ExplainPattern(const Workspace& ws, const DataSetValues& data, int set,
                                 int pattern);

// The reason a step would leave a value that is not finite, or "".
std::string OverflowIn(const PatternArithmetic& arithmetic);

}  // namespace backprop
