// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace backprop::bench {

// A measure over rounds as the benchmarks print it: the median with the
// lowest and highest round beside it.
struct Spread {
  double median = 0.0;
  double lowest = 0.0;
  double highest = 0.0;
  std::size_t rounds = 0;
};

inline Spread SpreadOf(std::vector<double> values) {
  if (values.empty()) return {};
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  const double median =
      values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
  return {median, values.front(), values.back(), values.size()};
}

}  // namespace backprop::bench
