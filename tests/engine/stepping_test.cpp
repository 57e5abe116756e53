// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/interpreter.h"
#include "engine/stepping.h"
#include "engine/workspace.h"
#include "tests/support/nets.h"
#include "tests/support/recording_canvas.h"

namespace backprop {
namespace {

using testing::PlacedText;
using testing::ScriptedHost;

// The exclusive-or net 2, 2, 1 with bias neurodes on layers 1 and 2 and
// weights chosen so every value is easy to follow: hidden neurode j sees
// only input j, the output sees only hidden neurode 1, all through linear
// transfer.
class SteppingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ApplyDefaults(ws);
    testing::SetGeometry(ws, {2, 2, 1}, {1, 1, 0});
    ws.TransferFunction = 1;
    ws.Weights(1, 1, 1) = 0.5;
    ws.Weights(2, 2, 1) = 0.25;
    ws.Weights(0, 1, 2) = 0.125;  // bias of layer 2 into the output
    ws.Weights(1, 1, 2) = 1;
    ws.TextBuffer(BufferId::TrainingDataD1) = testing::kExclusiveOrSet;
    ws.TextBuffer(BufferId::TrainingDataD2) = "2\r\n1,1,1\r\n0,0,0";
    ws.TextBuffer(BufferId::TestSetT1) = "2\r\n1,-1\r\n.5,.5";
  }
  // StepThruTrn(D1) (mode 3) or StepThruTst(T1) (mode 4): the program STEP=1.
  void StepCommand(int mode) {
    host.canvas = testing::RecordingCanvas();
    ws.RunMode = mode;
    RunProgram(ws, host);
  }
  void StepSet(double set) {
    host.canvas = testing::RecordingCanvas();
    ws.SelectedSet = set;
    StepDataSet(ws, host);
  }
  std::string Footer() const {
    return host.canvas.texts.empty() ? "" : host.canvas.texts.back().text;
  }

  Workspace ws;
  ScriptedHost host;
};

TEST_F(SteppingTest, ExactTextsOfOneStep) {
  StepCommand(3);
  ASSERT_TRUE(host.warnings.empty());
  struct Expected {
    double x, y;
    const char* text;
  };
  // Pattern 1: inputs -1, -1; hidden .5 * -1 and .25 * -1; output
  // .125 + (-.5) = -.375.
  const Expected expected[] = {
      {0.8, 1, " -1.00  "},
      {0.8, 2, " -1.00  "},
      {2.9, 0, "OUT          DESIRED"},
      {0.8, -0.4, " 1.00  "},
      {0.8, 0.6, " -1.00  "},
      {0.8, 1.6, " -1.00  "},
      {1.8, -0.4, " 1.00  "},
      {1.8, 0.6, " -0.50  "},
      {1.8, 1.6, " -0.25  "},
      {2.8, 0.6, " -0.38  "},
      {2.8, 1, " -0.38  "},
      {4, 0.6, "-1.00  "},
      {4, 1, "-1.00  "},
      {4, 9, "STEP  1  OF  4 . TRAINING DATA SET 1"},
  };
  const std::vector<PlacedText>& texts = host.canvas.texts;
  ASSERT_EQ(texts.size(), std::size(expected));
  for (std::size_t n = 0; n < texts.size(); ++n) {
    EXPECT_NEAR(texts[n].x, expected[n].x, 1e-12) << n;
    EXPECT_NEAR(texts[n].y, expected[n].y, 1e-12) << n;
    EXPECT_EQ(texts[n].text, expected[n].text) << n;
  }
  EXPECT_EQ(host.canvas.clears, 0) << "a stepping run ends without the closing redraw";
  EXPECT_EQ(ws.StepPosition, 2);
}

TEST_F(SteppingTest, SuccessiveStepsWrapAround) {
  const char* footers[] = {"STEP  1  OF  4 ", "STEP  2  OF  4 ", "STEP  3  OF  4 ",
                           "STEP  4  OF  4 ", "STEP  1  OF  4 "};
  for (const char* footer : footers) {
    StepCommand(3);
    EXPECT_EQ(Footer(), std::string(footer) + ". TRAINING DATA SET 1");
  }
  ws.StepPosition = 0;
  StepCommand(3);
  EXPECT_EQ(Footer(), "STEP  1  OF  4 . TRAINING DATA SET 1");
  EXPECT_EQ(host.canvas.texts[1].text, " -1.00  ") << "inputs of pattern 1";
}

TEST_F(SteppingTest, TestSetHasNoDesiredValues) {
  StepCommand(4);
  ASSERT_TRUE(host.warnings.empty());
  EXPECT_EQ(ws.LoadedSet, 4);
  std::vector<std::string> texts;
  for (const PlacedText& t : host.canvas.texts) texts.push_back(t.text);
  EXPECT_EQ(texts,
            (std::vector<std::string>{" 1.00  ", " -1.00  ", "OUT          ", " 1.00  ", " 1.00  ",
                                      " -1.00  ", " 1.00  ", " 0.50  ", " -0.25  ", " 0.63  ",
                                      " 0.63  ", "STEP  1  OF  2 .  TEST SET 1"}));
}

TEST_F(SteppingTest, FooterNamesTheSetStepped) {
  StepSet(2);
  EXPECT_EQ(Footer(), "STEP  1  OF  2 . TRAINING DATA SET 2");
  StepSet(4);  // a program stepping the test set outside mode 4
  EXPECT_EQ(Footer(), "STEP  2  OF  2 .  TEST SET 1");
  EXPECT_EQ(host.canvas.texts.size(), 14u) << "with its desired values";
}

TEST_F(SteppingTest, UserRangeBeneathTheOutput) {
  ws.OutputRangeLow = -10;
  ws.OutputRangeHigh = 0;
  ws.Weights(0, 1, 2) = 0;
  ws.Weights(1, 1, 2) = 0;
  StepSet(1);
  EXPECT_EQ(host.canvas.texts[9].text, " 0.00  ");
  EXPECT_EQ(host.canvas.texts[10].text, " -5.00  ");
  EXPECT_EQ(host.canvas.texts[11].text, "0.80  ") << "desired -1 scaled from -10..0";
  EXPECT_EQ(host.canvas.texts[12].text, "-1.00  ") << "desired, as read";
}

TEST_F(SteppingTest, BiasValuesShowOnlyForLayersWithBias) {
  ws.BiasFlags(2) = 0;
  ws.BiasFlags(3) = 1;
  StepSet(1);
  std::vector<double> biasRows;
  for (const PlacedText& t : host.canvas.texts) {
    if (std::abs(t.y + 0.4) < 1e-12) biasRows.push_back(t.x);
  }
  EXPECT_EQ(biasRows, (std::vector<double>{0.8, 2.8})) << "layers 1 and 3";
  // The last layer's bias also shows in the user's range, at y 0.
  bool userRangeBias = false;
  for (const PlacedText& t : host.canvas.texts) {
    userRangeBias = userRangeBias || (t.x == 2.8 && t.y == 0 && t.text == " 1.00  ");
  }
  EXPECT_TRUE(userRangeBias);
}

TEST_F(SteppingTest, SmallSets) {
  ws.TextBuffer(BufferId::TrainingDataD1) = "1\r\n1,1,1";
  StepSet(1);
  EXPECT_EQ(Footer(), "STEP  1  OF  1 . TRAINING DATA SET 1") << "one pattern is shown";
  StepSet(1);
  EXPECT_EQ(Footer(), "STEP  1  OF  1 . TRAINING DATA SET 1");

  ws.TextBuffer(BufferId::TrainingDataD1) = "0";
  ws.LoadedSet = 0;
  ws.StepPosition = 7;
  StepSet(1);
  EXPECT_TRUE(host.canvas.texts.empty());
  EXPECT_EQ(ws.StepPosition, 7);
  StepSet(3);  // set 3 is always empty
  EXPECT_TRUE(host.canvas.texts.empty());
}

TEST_F(SteppingTest, ReloadsOnlyWhenTheSelectionChanges) {
  StepSet(1);
  ws.TextBuffer(BufferId::TrainingDataD1) = "4\r\n9,9,9";
  StepSet(1);
  EXPECT_EQ(host.canvas.texts[0].text, " -1.00  ") << "the old values stay loaded";
  ws.LoadedSet = 0;
  StepSet(1);
  EXPECT_EQ(host.canvas.texts[0].text, " 9.00  ");
}

TEST_F(SteppingTest, ErrorsEndTheRun) {
  ws.LayerSizes(2) = 11;
  StepCommand(3);
  EXPECT_EQ(host.warnings.size(), 1u);
  // An output range too wide for a double: no "inf" is ever written.
  ws.LayerSizes(2) = 1;
  ws.OutputRangeLow = -1e308;
  ws.OutputRangeHigh = 1e308;
  StepCommand(4);
  ASSERT_EQ(host.warnings.size(), 2u);
  EXPECT_NE(host.warnings[1].find("output range (overflow)"), std::string::npos)
      << host.warnings[1];
  EXPECT_EQ(host.canvas.TextLog().find("inf"), std::string::npos);
}

}  // namespace
}  // namespace backprop
