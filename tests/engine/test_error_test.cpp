// SPDX-License-Identifier: GPL-3.0-or-later
// The test set's error beside training: at every cycle it equals what
// stepping through the set sums under the same weights, and it counts the
// patterns the net gets right by the targets' kind.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/engine_error.h"
#include "engine/interpreter.h"
#include "engine/stepping.h"
#include "engine/test_error.h"
#include "engine/workspace.h"
#include "tests/support/nets.h"
#include "tests/support/recording_canvas.h"

namespace backprop {
namespace {

// Steps through every pattern of `set` in a copy of the workspace and sums
// the error shares from the values stepping leaves behind.
double SteppedError(const Workspace& trained, int set) {
  auto ws = std::make_unique<Workspace>(trained);
  testing::ScriptedHost host;
  ws->RunMode = kRunProgramS1;  // stepping reads the desired outputs too
  ws->SelectedSet = set;
  ws->LoadedSet = kNoDataSet;
  ws->StepPosition = 1;
  StepDataSet(*ws, host);
  const int last = static_cast<int>(ws->LayerCount);
  double sum = 0.0;
  for (int p = 1; p <= ws->PatternCount; ++p) {
    if (p > 1) StepDataSet(*ws, host);
    double share = 0.0;
    for (int j = 1; j <= ws->LayerSizes(last); ++j) {
      const double e = ws->ScaledTargets(j, p) - ws->NodeValues(j, last);
      share += ws->OutputMode == kAnalogOutput ? e * e : std::floor(3.2 * (e * e));
    }
    sum += share;
  }
  return sum;
}

// At every cycle's end, the meter against stepping.
class MeasuringHost : public testing::ScriptedHost {
 public:
  MeasuringHost(Workspace& ws, int set) : ws_(ws), set_(set) {}
  void CycleEnded(const CycleReport&) override {
    ++cycles;
    const TestError measured = meter_.Measure(ws_, set_);
    EXPECT_EQ(measured.error, SteppedError(ws_, set_)) << "cycle " << cycles;
    last = measured;
  }
  int cycles = 0;
  TestError last;

 private:
  Workspace& ws_;
  int set_;
  TestErrorMeter meter_;
};

TEST(TestError, EqualsTheSteppedErrorAtEveryCycle) {
  struct Case {
    int set;
    const char* program;
  };
  const Case cases[] = {
      {kDataSetD2, "ANALOG=1\r\n"},
      {kTestSetT1, "ANALOG=0\r\n"},
      {kTestSetT1, "FUNCTION=3\r\nANALOG=1\r\n"},
  };
  for (const Case& c : cases) {
    auto ws = std::make_unique<Workspace>();
    ApplyDefaults(*ws);
    ws->TextBuffer(BufferId::TrainingDataD1) = testing::kExclusiveOrSet;
    ws->TextBuffer(BufferId::TrainingDataD2) = "3\r\n-.9,-.8,-1\r\n.7,-.6,1\r\n.2,.9,1\r\n";
    ws->TextBuffer(BufferId::TestSetT1) = "4\r\n-1,-1,-1\r\n-1,1,1\r\n1,-1,1\r\n1,1,1\r\n";
    ws->TextBuffer(BufferId::ProgramS1) = std::string(testing::kExclusiveOrNet) + c.program +
                                          "EPSILON=.3\r\nERRTEST=0\r\nTRAINMAX=40\r\nTRAIN=1\r\n";
    ws->RunMode = kRunProgramS1;
    MeasuringHost host(*ws, c.set);
    RunProgram(*ws, host);
    EXPECT_TRUE(host.warnings.empty());
    EXPECT_EQ(host.cycles, 39) << c.set << c.program;
    EXPECT_EQ(host.last.counting, RightCounting::Sign);
    EXPECT_EQ(host.last.patterns, c.set == kDataSetD2 ? 3 : 4);
  }
}

TEST(TestError, CountsRightByTheKindOfTargets) {
  // A net of one layer passes its inputs through: the outputs are known.
  struct Case {
    const char* text;
    RightCounting counting;
    int right;
  };
  const Case cases[] = {
      // Two outputs, one high per pattern: the larger output must be it.
      {"3\r\n.9,.1,1,-1\r\n.2,.5,-1,1\r\n.4,.3,-1,1\r\n", RightCounting::OneOfN, 2},
      // Two values either side of the middle: each output's sign must agree.
      {"2\r\n.9,.1,1,1\r\n.2,.5,1,-1\r\n", RightCounting::Sign, 1},
      // Function values: nothing to count.
      {"2\r\n.9,-.1,.5,-.2\r\n.2,.5,.3,0\r\n", RightCounting::None, 0},
  };
  for (const Case& c : cases) {
    auto ws = std::make_unique<Workspace>();
    ApplyDefaults(*ws);
    testing::SetGeometry(*ws, {2}, {0});
    ws->TextBuffer(BufferId::TestSetT1) = c.text;
    const TestError result = MeasureTestError(*ws, kTestSetT1);
    EXPECT_EQ(result.counting, c.counting) << c.text;
    EXPECT_EQ(result.right, c.right) << c.text;
  }
}

TEST(TestError, RefusesWhatCannotBeMeasuredAndChangesNothing) {
  auto ws = std::make_unique<Workspace>();
  ApplyDefaults(*ws);
  testing::SetGeometry(*ws, {2, 1}, {1, 0});
  ws->TextBuffer(BufferId::TestSetT1) = "301\r\n1,1,1\r\n";
  EXPECT_THROW(MeasureTestError(*ws, kTestSetT1), EngineError);
  EXPECT_THROW(MeasureTestError(*ws, kDataSetD1), EngineError) << "D1 is the training set";
  ws->TextBuffer(BufferId::TestSetT1) = testing::kExclusiveOrSet;
  TestErrorMeter meter;
  EXPECT_EQ(meter.Measure(*ws, kTestSetT1).patterns, 4);
  ws->TextBuffer(BufferId::TestSetT1) = "1\r\n1,1,1\r\n";
  EXPECT_EQ(meter.Measure(*ws, kTestSetT1).patterns, 1) << "a changed text is read again";
  EXPECT_EQ(ws->LoadedSet, 0) << "the pattern tables are not touched";
}

}  // namespace
}  // namespace backprop
