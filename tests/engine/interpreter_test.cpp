// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "engine/interpreter.h"
#include "engine/workspace.h"
#include "tests/support/recording_canvas.h"

namespace backprop {
namespace {

using testing::ScriptedHost;

// Runs `program` as Program S1 on a workspace with the start-up defaults.
class InterpreterTest : public ::testing::Test {
 protected:
  void SetUp() override { ApplyDefaults(ws); }

  void Run(const std::string& program, int mode = 1) {
    ws.TextBuffer(BufferId::ProgramS1) = program;
    ws.RunMode = mode;
    RunProgram(ws, host);
  }
  bool Failed() const { return !host.warnings.empty(); }

  Workspace ws;
  ScriptedHost host;
};

TEST_F(InterpreterTest, KeywordsSetTheirParametersInAnyCase) {
  Run("epsilon=.02\r\nthreshold=0.5\r\nWSEED=5\r\nSHOW=7\r\nUPDATE=2\r\nTRAINMAX=50\r\n"
      "FUNCTION=3\r\nSHOWTEST=0\r\nERRTEST=0\r\nANALOG=0\r\n");
  EXPECT_FALSE(Failed());
  EXPECT_DOUBLE_EQ(ws.Epsilon, 0.02);
  EXPECT_DOUBLE_EQ(ws.AnalogThreshold, 0.5);
  EXPECT_EQ(ws.WeightSeed, 5);
  EXPECT_EQ(ws.ShowRate, 7);
  EXPECT_EQ(ws.UpdateMode, 2);
  EXPECT_EQ(ws.TrainingLimit, 50);
  EXPECT_EQ(ws.TransferFunction, 3);
  EXPECT_EQ(ws.ShowTest, 0);
  EXPECT_EQ(ws.ErrorTest, 0);
  EXPECT_EQ(ws.OutputMode, 0);
}

TEST_F(InterpreterTest, KeywordsAreSubstringsAndShareTheValueAfterTheFirstEquals) {
  Run("SHOWTEST=0");  // not SHOW=
  EXPECT_EQ(ws.ShowTest, 0);
  EXPECT_EQ(ws.ShowRate, 10);

  Run("SHOW=5");  // not SHOWTEST
  EXPECT_EQ(ws.ShowRate, 5);
  EXPECT_EQ(ws.ShowTest, 0);

  Run("EPSILON=.1 THRESHOLD");
  EXPECT_DOUBLE_EQ(ws.Epsilon, 0.1);
  EXPECT_DOUBLE_EQ(ws.AnalogThreshold, 0.1);

  Run("ERRTEST=1,0");
  EXPECT_EQ(ws.ErrorTest, 1);

  Run("EPSILON");  // no "=": the whole line is read, which gives 0
  EXPECT_EQ(ws.Epsilon, 0);
}

TEST_F(InterpreterTest, TrainmaxDoesNotTrainAndRemarksCanStep) {
  ws.SelectedSet = 9;
  Run("TRAINMAX=50");
  EXPECT_EQ(ws.SelectedSet, 9);

  host.canvas.clears = 0;
  Run("** STEP THROUGH DATA");  // contains STEP, so it steps (set 0)
  EXPECT_EQ(ws.SelectedSet, 0);
  EXPECT_EQ(host.canvas.clears, 0) << "a run that steps ends without the closing redraw";

  Run("TRAIN=2");
  EXPECT_EQ(ws.SelectedSet, 2);
}

TEST_F(InterpreterTest, StepModesRunTheOneLineStepProgram) {
  ws.TextBuffer(BufferId::ProgramS1) = "FUNCTION=1";
  ws.RunMode = 3;
  RunProgram(ws, host);
  EXPECT_EQ(ws.SelectedSet, 1);
  EXPECT_EQ(ws.TransferFunction, 2) << "the program text is not run when stepping";

  ws.RunMode = 4;
  RunProgram(ws, host);
  EXPECT_EQ(ws.SelectedSet, 4);

  Run("STEP=2", 4);
  EXPECT_EQ(ws.SelectedSet, 4);
}

TEST_F(InterpreterTest, RunModeTwoRunsProgramS2) {
  ws.TextBuffer(BufferId::ProgramS2) = "TRAINMAX=77";
  ws.TextBuffer(BufferId::ProgramS1) = "TRAINMAX=11";
  ws.RunMode = 2;
  RunProgram(ws, host);
  EXPECT_EQ(ws.TrainingLimit, 77);
  EXPECT_EQ(ws.TextBuffer(BufferId::ProgramS2), "TRAINMAX=77") << "buffers are not upper-cased";
}

TEST_F(InterpreterTest, LineSplitting) {
  Run("X");  // one character: nothing runs but the closing redraw
  EXPECT_EQ(host.canvas.clears, 1);

  Run("SHOW=3\r\nS\r\n\r\nTRAINMAX=9");  // the last line has no ending
  EXPECT_EQ(ws.ShowRate, 3);
  EXPECT_EQ(ws.TrainingLimit, 9);

  Run("SHOW=4\nTRAINMAX=8\rEPSILON=.5\r\n");  // LF and CR alone end lines too
  EXPECT_EQ(ws.ShowRate, 4);
  EXPECT_EQ(ws.TrainingLimit, 8);
  EXPECT_DOUBLE_EQ(ws.Epsilon, 0.5);
}

TEST_F(InterpreterTest, EmptyProgramOnlyRedraws) {
  Run("");
  EXPECT_FALSE(Failed());
  EXPECT_EQ(host.canvas.clears, 1);
  EXPECT_EQ(ws.Busy, 0);
}

TEST_F(InterpreterTest, DisplayDrawsAtOnceAndAgainAtTheEnd) {
  Run("DISPLAY\r\nNETLIST=3,2,3,2");
  EXPECT_EQ(host.canvas.clears, 2);
  EXPECT_EQ(host.canvas.circles.size(), 7u) << "the closing redraw shows the new net";
}

TEST_F(InterpreterTest, ListKeywords) {
  Run("netlist=3,2,3,2\r\nBIASLIST=1,0,1\r\nIRANGE=3,88\r\nORANGE=-10,0");
  EXPECT_EQ(ws.LayerCount, 3);
  EXPECT_EQ(ws.LayerSizes(0), 3);
  EXPECT_EQ(ws.LayerSizes(1), 2);
  EXPECT_EQ(ws.LayerSizes(2), 3);
  EXPECT_EQ(ws.LayerSizes(3), 2);
  EXPECT_EQ(ws.BiasFlags(0), 0);
  EXPECT_EQ(ws.BiasFlags(1), 1);
  EXPECT_EQ(ws.BiasFlags(2), 0);
  EXPECT_EQ(ws.BiasFlags(3), 1);
  EXPECT_EQ(ws.InputRangeLow, 3);
  EXPECT_EQ(ws.InputRangeHigh, 88);
  EXPECT_EQ(ws.OutputRangeLow, -10);
  EXPECT_EQ(ws.OutputRangeHigh, 0);

  // NETLIST overwrites only what it lists.
  ws.LayerSizes(4) = 6;
  Run("NETLIST=2,5");
  EXPECT_EQ(ws.LayerCount, 2);
  EXPECT_EQ(ws.LayerSizes(1), 5);
  EXPECT_EQ(ws.LayerSizes(2), 3);
  EXPECT_EQ(ws.LayerSizes(4), 6);
}

TEST_F(InterpreterTest, OneValueRangeTakesTheHighEndFromAnEarlierLine) {
  Run("NETLIST=3,2,3,2\r\nORANGE=5");
  EXPECT_EQ(ws.OutputRangeLow, 5);
  EXPECT_EQ(ws.OutputRangeHigh, 2) << "item 3 still holds the NETLIST line's 2";

  Workspace fresh;
  ScriptedHost freshHost;
  fresh.TextBuffer(BufferId::ProgramS1) = "ORANGE=5";
  fresh.RunMode = 1;
  RunProgram(fresh, freshHost);
  EXPECT_EQ(fresh.OutputRangeHigh, 0) << "no line ever had a third item";
}

TEST(SplitLineItems, PiecesAtEqualsAndCommas) {
  struct Case {
    const char* line;
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {"NETLIST=3,2,3,2", {"NETLIST", "3", "2", "3", "2"}},
      {"NETLIST = 3 , 2", {"NETLIST", "3", "2"}},
      {"A=3,,2", {"A", "3", "", "2"}},
      {"A=1,", {"A", "1,"}},  // a final separator stays in the last item
      {"A=", {"A="}},
      {"AB", {"AB"}},
  };
  for (const Case& c : cases) {
    Workspace ws;
    ws.CurrentLine = c.line;
    SplitLineItems(ws);
    ASSERT_EQ(ws.ItemCount, static_cast<double>(c.items.size() + 1)) << c.line;
    for (std::size_t k = 0; k < c.items.size(); ++k) {
      EXPECT_EQ(ws.LineItems(static_cast<int>(k + 1)), c.items[k]) << c.line << " item " << k + 1;
    }
  }
}

TEST(SplitLineItems, KeepsOlderItemsAboveTheNewOnes) {
  Workspace ws;
  ws.CurrentLine = "A=1,2,3,4";
  SplitLineItems(ws);
  ws.CurrentLine = "B=9";
  SplitLineItems(ws);
  EXPECT_EQ(ws.LineItems(2), "9");
  EXPECT_EQ(ws.LineItems(3), "2");
  EXPECT_EQ(ws.ItemCount, 3);
}

TEST_F(InterpreterTest, InitWeightsKinds) {
  // A marker in every weight shows which ones INITW fills.
  constexpr double kMarker = 7.5;
  for (int h = 0; h <= 10; ++h)
    for (int i = 0; i <= 10; ++i)
      for (int j = 0; j <= 10; ++j) ws.Weights(i, j, h) = kMarker;
  Run("NETLIST=2,3,1\r\nINITW=1");
  for (int i = 0; i <= 3; ++i) {
    const double w = ws.Weights(i, 1, 1);
    EXPECT_GE(w, 0.0);
    EXPECT_LT(w, 1.0);
    EXPECT_EQ(w, static_cast<double>(static_cast<float>(w))) << "stored in single precision";
  }
  EXPECT_EQ(ws.Weights(4, 1, 1), kMarker);
  EXPECT_EQ(ws.Weights(0, 2, 1), kMarker);
  EXPECT_EQ(ws.Weights(0, 1, 2), kMarker);

  Run("NETLIST=3,4,4,4\r\nINITW=2");
  bool sawNegative = false;
  for (int h = 1; h <= 2; ++h)
    for (int i = 0; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) {
        EXPECT_GE(ws.Weights(i, j, h), -1.0);
        EXPECT_LT(ws.Weights(i, j, h), 1.0);
        sawNegative = sawNegative || ws.Weights(i, j, h) < 0;
      }
  EXPECT_TRUE(sawNegative);

  Run("INITW=3");
  for (int i = 0; i <= 4; ++i) EXPECT_EQ(ws.Weights(i, 4, 2), 0.0);

  ws.Weights(1, 1, 1) = 0.25;
  Run("INITW=0\r\nINITW=4\r\nINITW=255");
  EXPECT_EQ(ws.Weights(1, 1, 1), 0.25) << "kinds 0 and 4..255 only re-seed";
}

TEST_F(InterpreterTest, EveryInitwReseedsFromTheSeed) {
  Run("NETLIST=2,3,2\r\nWSEED=5\r\nINITW=2");
  const double first = ws.Weights(2, 2, 1);
  const double bias = ws.Weights(0, 1, 1);
  Run("INITW=2\r\nINITW=2");
  EXPECT_EQ(ws.Weights(2, 2, 1), first);
  EXPECT_EQ(ws.Weights(0, 1, 1), bias);
  Run("WSEED=6\r\nINITW=2");
  EXPECT_NE(ws.Weights(2, 2, 1), first);
}

TEST_F(InterpreterTest, ActionOfALineIsTheLastFoundInScanOrder) {
  ws.SelectedSet = 0;
  ws.Weights(1, 1, 1) = 0.5;
  Run("NETLIST=2,1,1\r\nINITW=3 TRAIN=2");  // INITW comes after TRAIN= in the scan
  EXPECT_EQ(ws.SelectedSet, 3) << "both read the text after the first =";
  EXPECT_EQ(ws.Weights(1, 1, 1), 0.0) << "INITW=3 ran, not TRAIN=";
}

TEST_F(InterpreterTest, RunErrorsShowTheMessageAndKeepEarlierValues) {
  const struct {
    const char* line;
    const char* reason;  // after "Line 2 (<line>): "
  } failing[] = {
      {"NETLIST=11,2", "the layer count is 11, outside 0..10"},
      {"NETLIST=3,2,11,2", "the size of layer 2 is 11, outside 0..10"},
      {"NETLIST=10,1,1,1,1,1,1,1,1,1,1,1", "the line lists more than 10 layer sizes"},
      {"BIASLIST=1,1,1,1,1,1,1,1,1,1,1", "the line lists more than 10 bias flags"},
      {"IRANGE=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20",
       "the line has more than 20 items"},
      {"WSEED=32767.5", "the seed (WSEED) is 32768, outside -32768..32767"},
      {"WSEED=-40000", "the seed (WSEED) is -40000, outside -32768..32767"},
      {"INITW=-1", "the INITW kind is -1, outside 0..255"},
      {"INITW=256", "the INITW kind is 256, outside 0..255"},
      {"EPSILON=1e999", "a number on the line is too large (overflow)"},
  };
  for (const auto& c : failing) {
    host.warnings.clear();
    ws.Busy = 1;
    ws.TrainingLimit = 1000;
    Run(std::string("TRAINMAX=5\r\n") + c.line + "\r\nTRAINMAX=7");
    ASSERT_EQ(host.warnings.size(), 1u) << c.line;
    const std::string shown = std::string(c.line).size() > 40
                                  ? std::string(c.line).substr(0, 37) + "..."
                                  : std::string(c.line);
    EXPECT_EQ(host.warnings[0],
              std::string(kRunErrorMessage) + "\n\rLine 2 (" + shown + "): " + c.reason);
    EXPECT_EQ(ws.TrainingLimit, 5) << c.line << ": earlier lines stay, later ones never run";
    EXPECT_EQ(ws.Busy, 0);
  }
  EXPECT_EQ(ws.LayerCount, 2) << "a refused NETLIST stores nothing";
  EXPECT_EQ(ws.LayerSizes(1), 2);
  EXPECT_EQ(ws.WeightSeed, 1);
}

// The line of a run error counts every line of the text as written (short
// ones and every kind of line end too) and shows it as written, trimmed.
TEST_F(InterpreterTest, RunErrorsNameTheLineAsWritten) {
  const struct {
    const char* program;
    int mode;
    const char* line;
  } cases[] = {
      {"x\r\n\r\n\tshow=0 \r\ntrain=1", 1, "Line 4 (train=1): the show rate is 0"},
      {"SHOW=0\n\nA\rTRAIN=1\r\n", 1, "Line 4 (TRAIN=1): the show rate is 0"},
      {"NETLIST=12 \x1b[31m red", 1,
       "Line 1 (NETLIST=12 \\x1B[31m red): the layer count is 12, "
       "outside 0..10"},
      {"", kStepTraining,
       "Line 1 (STEP=1): the data set holds a number that is too large (overflow)"},
  };
  for (const auto& c : cases) {
    host.warnings.clear();
    ws.TextBuffer(BufferId::TrainingDataD1) = c.mode == kStepTraining ? "1e999" : "1\r\n1,1,1";
    ws.LoadedSet = kNoDataSet;
    Run(c.program, c.mode);
    ASSERT_EQ(host.warnings.size(), 1u) << c.line;
    EXPECT_EQ(host.warnings[0].substr(std::string(kRunErrorMessage).size() + 2), c.line);
  }
}

TEST_F(InterpreterTest, LargestGeometryAndSeedsAtTheLimits) {
  Run("NETLIST=10,10,10,10,10,10,10,10,10,10,10\r\nBIASLIST=1,1,1,1,1,1,1,1,1,1\r\n"
      "WSEED=-32768\r\nINITW=2");
  EXPECT_FALSE(Failed());
  EXPECT_EQ(ws.LayerCount, 10);
  EXPECT_EQ(ws.LayerSizes(10), 10);
  EXPECT_EQ(ws.WeightSeed, -32768);
  EXPECT_NE(ws.Weights(10, 10, 9), 0.0);

  Run("WSEED=32767.4\r\nWSEED=2.5");
  EXPECT_FALSE(Failed());
  EXPECT_EQ(ws.WeightSeed, 2) << "halves round to the even neighbour";
  Run("WSEED=3.5");
  EXPECT_EQ(ws.WeightSeed, 4);
}

}  // namespace
}  // namespace backprop
