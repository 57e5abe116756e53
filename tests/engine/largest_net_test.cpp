// SPDX-License-Identifier: GPL-3.0-or-later
// The largest nets and data sets the tables hold, and one pattern past them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/interpreter.h"
#include "engine/workspace.h"
#include "tests/support/recording_canvas.h"

namespace backprop {
namespace {

using testing::ScriptedHost;

// `count` patterns of ten inputs and ten outputs, values in -1..1.
std::string TenByTenSet(int count) {
  std::string text = std::to_string(count) + "\r\n";
  for (int p = 1; p <= count; ++p) {
    for (int f = 1; f <= 20; ++f) {
      text += std::to_string(((p * 7 + f * 13) % 21 - 10) / 10.0);
      text += (f < 20) ? "," : "\r\n";
    }
  }
  return text;
}

class LargestNetTest : public ::testing::Test {
 protected:
  void SetUp() override { ApplyDefaults(ws); }
  void Run(const std::string& program) {
    ws.TextBuffer(BufferId::ProgramS1) = program;
    ws.RunMode = 1;
    RunProgram(ws, host);
  }
  Workspace ws;
  ScriptedHost host;
};

TEST_F(LargestNetTest, ThreeHundredPatternsTrainTenLayersOfTen) {
  ws.TextBuffer(BufferId::TrainingDataD1) = TenByTenSet(300);
  Run("NETLIST=10,10,10,10,10,10,10,10,10,10,10\r\nBIASLIST=1,1,1,1,1,1,1,1,1,1\r\n"
      "INITW=2\r\nTRAINMAX=3\r\nTRAIN=1\r\nSTEP=1");
  ASSERT_TRUE(host.warnings.empty());
  EXPECT_EQ(ws.PatternCount, 300);
  EXPECT_EQ(host.yields, 2 * 300) << "two cycles, one yield per pattern";
  EXPECT_DOUBLE_EQ(ws.RawTargets(10, 300), ((300 * 7 + 20 * 13) % 21 - 10) / 10.0);
  for (int h = 1; h <= 9; ++h)
    for (int i = 0; i <= 10; ++i)
      for (int j = 1; j <= 10; ++j) ASSERT_TRUE(std::isfinite(ws.Weights(i, j, h)));
  for (int j = 1; j <= 10; ++j) EXPECT_TRUE(std::isfinite(ws.NodeValues(j, 10)));
  EXPECT_EQ(ws.StepPosition, 2) << "the STEP line showed pattern 1";
}

TEST_F(LargestNetTest, ThreeHundredAndOnePatternsEndTheRunBeforeTraining) {
  ws.TextBuffer(BufferId::TrainingDataD1) = TenByTenSet(301);
  Run("NETLIST=3,10,10,10\r\nINITW=3\r\nTRAIN=1\r\nTRAINMAX=7");
  ASSERT_EQ(host.warnings.size(), 1u);
  EXPECT_EQ(host.warnings[0], std::string(kRunErrorMessage) +
                                  "\n\rLine 3 (TRAIN=1): the data set has more than 300 patterns");
  EXPECT_EQ(host.yields, 0);
  EXPECT_NE(ws.TrainingLimit, 7) << "the lines after the failing one do not run";
  EXPECT_EQ(ws.Weights(10, 10, 2), 0.0);
  EXPECT_EQ(ws.Busy, 0);
}

}  // namespace
}  // namespace backprop
