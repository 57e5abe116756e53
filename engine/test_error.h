// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "engine/data_set.h"

namespace backprop {

struct Workspace;

// How the patterns of a test set are counted right, decided by its desired
// outputs: one-of-N when every pattern has one output at the higher of two
// target values and the others at the lower; sign when the targets take one
// value below the middle of the output range and one above it; otherwise
// (function values) no pattern is counted.
enum class RightCounting { None, OneOfN, Sign };

// The error of a set with desired outputs under the present weights.
struct TestError {
  double error = 0.0;  // summed as a training cycle sums it
  int patterns = 0;
  RightCounting counting = RightCounting::None;
  int right = 0;  // patterns the net gets right, unless counting is None
};

// Measures the error of data set 2 (D2) or 4 (T1, read with its desired
// outputs) under the present weights, as stepping through it would: every
// pattern's inputs scaled and passed forward, each output's share e^2 in
// analog mode or the integer part of 3.2 e^2 otherwise, added in the order
// of a training cycle. Reads the workspace and never writes it. The text is
// read again only when it, the ranges or the net's ends have changed.
class TestErrorMeter {
 public:
  // Throws EngineError when the set cannot be read or the net cannot pass
  // (an overflow gives an error that is not a number instead).
  TestError Measure(const Workspace& ws, int set);

 private:
  struct Key {
    std::string text;
    double ranges[4] = {};
    int inputs = -1;
    int outputs = -1;
  };
  Key key_;
  DataSetValues data_;
  RightCounting counting_ = RightCounting::None;
};

// One measurement without a cache.
TestError MeasureTestError(const Workspace& ws, int set);

}  // namespace backprop
