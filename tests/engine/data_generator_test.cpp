// SPDX-License-Identifier: GPL-3.0-or-later
// The data generator: the same seed gives the same text, counts, ranges and
// noise bounds hold, and the text loads back to the very values generated.

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <set>

#include "engine/data_generator.h"
#include "engine/data_set.h"
#include "engine/engine_error.h"
#include "tests/support/generated_data.h"

namespace backprop {
namespace {

TEST(DataGenerator, SameSeedSameTextAndTheTextLoadsBack) {
  for (const DataShapeInfo& info : kDataShapes) {
    for (const auto& [low, high] : {std::pair{-1.0, 1.0}, std::pair{3.0, 88.0}}) {
      GeneratorSettings s{info.shape, 300, 20, 7, low, high, 0, 10};
      const GeneratedData data = GenerateData(s);
      EXPECT_EQ(GenerateData(s).text, data.text) << info.name;
      s.seed = 8;
      EXPECT_NE(GenerateData(s).text, data.text) << info.name;
      ASSERT_EQ(data.values.size(), 300u * (info.inputs + 1));
      EXPECT_EQ(std::count(data.text.begin(), data.text.end(), '\n'), 301) << "one line each";

      const DataSetValues read = testing::LoadGenerated(s, data);
      ASSERT_EQ(read.patterns, 300);
      for (int p = 1; p <= 300; ++p) {
        const std::size_t at = static_cast<std::size_t>(p - 1) * (info.inputs + 1);
        for (int i = 1; i <= info.inputs; ++i) {
          const double x = read.Input(p, i).raw;
          EXPECT_EQ(x, data.values[at + i - 1]);
          EXPECT_TRUE(x >= low && x <= high) << info.name << " " << x;
        }
        const double t = read.Target(p, 1).raw;
        EXPECT_EQ(t, data.values[at + info.inputs]);
        EXPECT_TRUE(t >= 0 && t <= 10) << t;
        if (info.inputs == 2) {
          EXPECT_TRUE(t == 0 || t == 10) << "a class is an end of the range";
        }
      }
    }
  }
}

// Without noise the line's inputs lie on it; with noise each input moves by
// at most the noise's share of the range, and by nearly that much somewhere.
TEST(DataGenerator, NoiseStaysWithinItsBound) {
  for (const double percent : {0.0, 10.0, 50.0}) {
    const GeneratedData data = GenerateData({DataShape::Line, 300, percent, 3, 0, 100, -1, 1});
    double largest = 0;
    for (std::size_t p = 0; p < 300; ++p) {
      const double x = data.values[2 * p];
      const double clean = (data.values[2 * p + 1] / 0.8 + 1) / 2 * 100;  // the line, inverted
      largest = std::max(largest, std::abs(x - clean));
      EXPECT_TRUE(x >= 0 && x <= 100) << x;
    }
    EXPECT_LE(largest, percent + 0.01) << percent;
    EXPECT_GE(largest, percent * 0.8) << percent;
  }
}

// Whatever the settings, a set is refused with the reason or generated.
TEST(DataGenerator, RefusesSettingsOutOfBounds) {
  constexpr double kNaN = NAN;
  const struct {
    GeneratorSettings s;
    const char* reason;
  } cases[] = {
      {{DataShape::Circle, 0}, "a data set holds 1 to 300 patterns"},
      {{DataShape::Circle, -1}, "a data set holds 1 to 300 patterns"},
      {{DataShape::Circle, 301}, "a data set holds 1 to 300 patterns"},
      {{DataShape::Circle, INT_MAX}, "a data set holds 1 to 300 patterns"},
      {{DataShape::Circle, INT_MIN}, "a data set holds 1 to 300 patterns"},
      {{DataShape::Circle, 10, -0.01}, "the noise is 0 to 50 %"},
      {{DataShape::Circle, 10, 50.01}, "the noise is 0 to 50 %"},
      {{DataShape::Circle, 10, kNaN}, "the noise is 0 to 50 %"},
      {{DataShape::Circle, 10, -INFINITY}, "the noise is 0 to 50 %"},
      {{DataShape::Circle, 10, 0, 1, 2, 2}, "the input range needs two different finite ends"},
      {{DataShape::Circle, 10, 0, 1, 0, -0.0}, "the input range needs two different finite ends"},
      {{DataShape::Circle, 10, 0, 1, kNaN, 1}, "the input range needs two different finite ends"},
      {{DataShape::Circle, 10, 0, 1, -1, 1, 0, INFINITY},
       "the output range needs two different finite ends"},
      {{DataShape::Circle, 10, 0, 1, -1, 1, -1, kNaN},
       "the output range needs two different finite ends"},
      {{DataShape::Circle, 10, 0, 1, -1e308, 1e308}, "the input range is too wide to scale"},
      {{DataShape::Sine, 10, 0, 1, -1, 1, DBL_MAX, 0}, "the output range is too wide to scale"},
      {{static_cast<DataShape>(6), 10}, "no such shape of data"},
      {{static_cast<DataShape>(-1), 10}, "no such shape of data"},
  };
  for (const auto& c : cases) {
    try {
      GenerateData(c.s);
      ADD_FAILURE() << "generated: " << c.reason;
    } catch (const EngineError& error) {
      EXPECT_STREQ(error.what(), c.reason);
    }
  }
}

// Ranges far from the usual ones still give a text that loads as exactly
// the values generated, each within its range, in the shape asked for.
TEST(DataGenerator, ExtremeRangesLoadBackAsWritten) {
  const std::pair<double, double> ranges[] = {
      {5, -5},          {0, 1e-300},       {-1e300, 1e300},
      {1e70, 1.5e70},   {0, 5e-324},       {-DBL_MAX / 4, DBL_MAX / 4},
      {1e15, 1e15 + 2}, {1e6, 1e6 + 1e-9}, {-1e-12, 1e-12}};
  for (const DataShapeInfo& info : kDataShapes) {
    for (const auto& [low, high] : ranges) {
      for (const bool inputSide : {true, false}) {
        GeneratorSettings s{info.shape, 40, 10, 3, -1, 1, -1, 1};
        (inputSide ? s.inputLow : s.outputLow) = low;
        (inputSide ? s.inputHigh : s.outputHigh) = high;
        const GeneratedData data = GenerateData(s);
        // A load that could not scale would throw.
        const DataSetValues read = testing::LoadGenerated(s, data);
        ASSERT_EQ(read.patterns, 40);
        const std::string where = std::string(info.name) + " " + std::to_string(low);
        for (std::size_t n = 0; n < data.values.size(); ++n) {
          const double v = read.values[n].raw;
          EXPECT_EQ(v, data.values[n]) << where << " value " << n;
          const bool isInput = n % (info.inputs + 1) != static_cast<std::size_t>(info.inputs);
          const double a = isInput ? s.inputLow : s.outputLow;
          const double b = isInput ? s.inputHigh : s.outputHigh;
          EXPECT_TRUE(v >= std::min(a, b) && v <= std::max(a, b)) << where << " " << v;
        }
        // The two classes stay apart, however narrow the range.
        if (info.inputs == 2 && !inputSide) {
          std::set<double> targets;
          for (std::size_t n = 2; n < data.values.size(); n += 3) targets.insert(data.values[n]);
          EXPECT_EQ(targets.size(), 2u) << where;
        }
      }
    }
  }
}

}  // namespace
}  // namespace backprop
