// SPDX-License-Identifier: GPL-3.0-or-later
// The arithmetic of one pattern, as the arithmetic view shows it, against
// what training does with the same pattern; and what an overflow leaves.
#include <gtest/gtest.h>

#include <string>

#include "engine/engine_error.h"
#include "engine/interpreter.h"
#include "engine/pattern_arithmetic.h"
#include "engine/training.h"
#include "engine/workspace.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/same_numbers.h"

namespace backprop {
namespace {

using testing::SameCells;
using testing::SameNumbers;
using testing::ScriptedHost;

class PatternArithmeticTest : public ::testing::Test {
 protected:
  // A 2-3-1 net (hidden deltas matter) with random weights, trained in
  // `function` on one pattern of the exclusive-or set.
  void Prepare(int function, int analog, const char* bias) {
    ws = Workspace();
    ApplyDefaults(ws);
    ws.TextBuffer(BufferId::TrainingDataD1) = "1\r\n1,-1,1\r\n";
    Run(std::string("NETLIST=3,2,3,1\r\nBIASLIST=") + bias + "\r\nWSEED=7\r\nINITW=2\r\nFUNCTION=" +
        std::to_string(function) + "\r\nANALOG=" + std::to_string(analog) + "\r\nEPSILON=.3");
  }
  void Run(const std::string& program) {
    ws.TextBuffer(BufferId::ProgramS1) = program;
    ws.RunMode = kRunProgramS1;
    RunProgram(ws, host);
  }

  Workspace ws;
  ScriptedHost host;
};

TEST_F(PatternArithmeticTest, NewWeightsAreTrainingsToTheLastBit) {
  for (const int function : {1, 2, 3, 4, 7}) {
    for (const int analog : {1, 0}) {
      for (const char* bias : {"1,1,0", "0,0,0"}) {
        SCOPED_TRACE(std::to_string(function) + " " + std::to_string(analog) + " " + bias);
        Prepare(function, analog, bias);
        const Workspace before = ws;
        const PatternArithmetic a = ExplainPattern(ws, 1, 1);
        EXPECT_TRUE(SameNumbers(ws, before)) << "the arithmetic changes nothing";

        // The hidden deltas come from the weights before the step.
        for (int i = 1; i <= 3; ++i) {
          EXPECT_EQ(a.delta[2][i], a.slope[2][i] * (ws.Weights(i, 1, 2) * a.delta[3][1]));
        }

        Run("TRAINMAX=2\r\nTRAIN=1");  // one cycle of the one pattern
        Workspace applied = before;
        ApplyPatternStep(applied, host, 1, 1);
        for (int h = 1; h <= 2; ++h) {
          for (int i = 0; i <= 3; ++i) {
            for (int j = 1; j <= 3; ++j) {
              EXPECT_EQ(ws.Weights(i, j, h), applied.Weights(i, j, h));
              if (i <= (h == 1 ? 2 : 3) && j <= (h == 1 ? 3 : 1)) {
                EXPECT_EQ(ws.Weights(i, j, h), a.newWeight[h][i][j]) << h << i << j;
              }
            }
          }
        }
      }
    }
  }
}

TEST_F(PatternArithmeticTest, AnOverflowLeavesTheWeightsOfThePatternBefore) {
  struct Case {
    const char* program;
    const char* data;
    int fromCycle;  // the overflow comes at this cycle or later
  };
  const Case cases[] = {
      // Pattern 2's input is so large that its weight changes overflow at once.
      {"NETLIST=3,2,3,1\r\nBIASLIST=1,1,0\r\nINITW=2\r\nFUNCTION=1\r\nEPSILON=.3",
       "2\r\n1,-1,1\r\n1e300,1,-1\r\n", 1},
      // Each step multiplies a linear net's error by -9999, until its square
      // overflows cycles later, past the first snapshot of the weights.
      {"NETLIST=2,1,1\r\nBIASLIST=0,0\r\nFUNCTION=1\r\nEPSILON=1\r\nINITW=3", "1\r\n100,1\r\n", 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program);
    ws = Workspace();
    ApplyDefaults(ws);
    ws.TextBuffer(BufferId::TrainingDataD1) = c.data;
    Run(std::string(c.program) + "\r\nERRTEST=0\r\nTRAINMAX=100000");
    // The same patterns applied one by one, each checked before it changes
    // anything, up to the first that overflows.
    Workspace expected = ws;
    const int count = c.data[0] - '0';
    int applied = 0;
    try {
      for (; applied < 10000; ++applied) ApplyPatternStep(expected, host, 1, applied % count + 1);
    } catch (const EngineError&) {
    }
    Run("TRAIN=1");
    ASSERT_EQ(host.warnings.size(), 1u);
    EXPECT_NE(host.warnings[0].find("overflow"), std::string::npos) << host.warnings[0];
    host.warnings.clear();
    EXPECT_GE(applied / count + 1, c.fromCycle);
    EXPECT_TRUE(SameCells(ws.Weights, expected.Weights)) << "after " << applied << " patterns";

    // Applied by hand, the step that overflows is refused and changes nothing.
    const Workspace before = ws;
    EXPECT_THROW(ApplyPatternStep(ws, host, 1, applied % count + 1), EngineError);
    EXPECT_TRUE(SameCells(ws.Weights, before.Weights));
  }
}

}  // namespace
}  // namespace backprop
