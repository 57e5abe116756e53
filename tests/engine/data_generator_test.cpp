// The data generator: the same seed gives the same text, counts, ranges and
// noise bounds hold, and the text loads back to the very values generated.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "engine/data_generator.h"
#include "engine/data_set.h"
#include "engine/engine_error.h"
#include "engine/workspace.h"
#include "tests/support/nets.h"

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

      auto ws = std::make_unique<Workspace>();
      ApplyDefaults(*ws);
      ws->InputRangeLow = low;
      ws->InputRangeHigh = high;
      ws->OutputRangeLow = 0;
      ws->OutputRangeHigh = 10;
      testing::SetGeometry(*ws, {info.inputs, 3, 1});
      ws->TextBuffer(BufferId::TrainingDataD1) = data.text;
      const DataSetValues read = ReadDataSet(*ws, kDataSetD1, true);
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

TEST(DataGenerator, RefusesSettingsOutOfBounds) {
  const GeneratorSettings cases[] = {
      {DataShape::Circle, 0},
      {DataShape::Circle, 301},
      {DataShape::Circle, 10, -1},
      {DataShape::Circle, 10, 50.5},
      {DataShape::Circle, 10, 0, 1, 2, 2},
      {DataShape::Circle, 10, 0, 1, -1, 1, 0, INFINITY},
  };
  for (const GeneratorSettings& s : cases) {
    EXPECT_THROW(GenerateData(s), EngineError) << s.patterns << " " << s.noisePercent;
  }
}

}  // namespace
}  // namespace backprop
