// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/test_error.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <set>

#include "engine/engine_error.h"
#include "engine/net_evaluation.h"
#include "engine/net_geometry.h"
#include "engine/workspace.h"

namespace backprop {

namespace {

RightCounting CountingOf(const DataSetValues& data) {
  std::set<double> values;
  for (int p = 1; p <= data.patterns; ++p) {
    for (int k = 1; k <= data.targets; ++k) values.insert(data.Target(p, k).scaled);
  }
  if (values.size() != 2) return RightCounting::None;
  const double low = *values.begin();
  const double high = *values.rbegin();
  if (data.targets >= 2) {
    bool oneHigh = true;
    for (int p = 1; p <= data.patterns && oneHigh; ++p) {
      int highs = 0;
      for (int k = 1; k <= data.targets; ++k) highs += data.Target(p, k).scaled == high;
      oneHigh = highs == 1;
    }
    if (oneHigh) return RightCounting::OneOfN;
  }
  return low < 0.0 && high > 0.0 ? RightCounting::Sign : RightCounting::None;
}

// Whether the outputs of pattern p are right by the set's way of counting.
bool PatternRight(const DataSetValues& data, int p, const double* outputs,
                  RightCounting counting) {
  if (counting == RightCounting::OneOfN) {
    int best = 1;
    int wanted = 1;
    for (int k = 2; k <= data.targets; ++k) {
      if (outputs[k] > outputs[best]) best = k;
      if (data.Target(p, k).scaled > data.Target(p, wanted).scaled) wanted = k;
    }
    return best == wanted;
  }
  for (int k = 1; k <= data.targets; ++k) {
    if ((data.Target(p, k).scaled > 0.0) != (outputs[k] > 0.0)) return false;
  }
  return true;
}

}  // namespace

TestError TestErrorMeter::Measure(const Workspace& ws, int set) {
  if (set != kDataSetD2 && set != kTestSetT1) {
    throw EngineError("a test set is data set 2 (D2) or 4 (T1), not " + std::to_string(set));
  }
  const NetEvaluator net(ws);
  const NetGeometry geometry = ValidatedGeometry(ws);
  if (geometry.layerCount < 1) throw EngineError("the net has no layer");
  // The text is copied only when it has changed.
  const std::string_view text = DataSetText(ws, set);
  Key key{{},
          {ws.InputRangeLow, ws.InputRangeHigh, ws.OutputRangeLow, ws.OutputRangeHigh},
          net.Inputs(),
          net.Outputs()};
  if (key_.text != text || !std::equal(std::begin(key.ranges), std::end(key.ranges),
                                       std::begin(key_.ranges)) ||
      key.inputs != key_.inputs || key.outputs != key_.outputs) {
    key_ = Key{};  // a failed read leaves nothing cached
    data_ = ReadDataSet(ws, set, true);
    counting_ = CountingOf(data_);
    key.text = text;
    key_ = std::move(key);
  }

  TestError result;
  result.patterns = data_.patterns;
  result.counting = counting_;
  const bool analog = ws.OutputMode == kAnalogOutput;
  const int last = geometry.OutputLayer();
  double inputs[kMaxNeurodes + 1] = {};
  NetEvaluator::NodeOutputs outputs{};
  for (int p = 1; p <= data_.patterns; ++p) {
    for (int i = 1; i <= data_.inputs; ++i) inputs[i - 1] = data_.Input(p, i).scaled;
    if (!net.Pass(inputs, outputs)) {
      result.error = std::numeric_limits<double>::quiet_NaN();
      continue;
    }
    // The pattern's share first, then the sum, as a training cycle adds them.
    double share = 0.0;
    for (int k = 1; k <= data_.targets; ++k) {
      const double e = data_.Target(p, k).scaled - outputs[last][k];
      share += analog ? e * e : std::floor(3.2 * (e * e));
    }
    result.error += share;
    if (counting_ != RightCounting::None) {
      result.right += PatternRight(data_, p, outputs[last].data(), counting_);
    }
  }
  return result;
}

TestError MeasureTestError(const Workspace& ws, int set) { return TestErrorMeter().Measure(ws, set); }

}  // namespace backprop
