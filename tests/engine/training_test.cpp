// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/draw_net.h"
#include "engine/forward_pass.h"
#include "engine/interpreter.h"
#include "engine/number_text.h"
#include "engine/training.h"
#include "engine/workspace.h"
#include "tests/support/nets.h"
#include "tests/support/recording_canvas.h"

namespace backprop {
namespace {

using testing::PlacedText;
using testing::ScriptedHost;

// The exclusive-or net 2, 2, 1 with bias neurodes and weights from seed 1.
class TrainingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ApplyDefaults(ws);
    ws.TextBuffer(BufferId::TrainingDataD1) = testing::kExclusiveOrSet;
    RunLines(testing::kExclusiveOrNet);
    ws.SelectedSet = 1;
  }
  void RunLines(const std::string& program) {
    ws.TextBuffer(BufferId::ProgramS1) = program;
    ws.RunMode = 1;
    RunProgram(ws, host);
  }
  // Trains directly, so the reports stay on the recording canvas.
  TrainOutcome Train() {
    host.canvas = testing::RecordingCanvas();
    return TrainNet(ws, host);
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const PlacedText& t : host.canvas.texts) texts.push_back(t.text);
    return texts;
  }
  // The sum of squared output errors over the set with the current weights.
  double SquaredError(const Workspace& at) const {
    Workspace copy = at;
    double sum = 0.0;
    for (int p = 1; p <= 4; ++p) {
      copy.NodeValues(1, 1) = copy.ScaledInputs(1, p);
      copy.NodeValues(2, 1) = copy.ScaledInputs(2, p);
      ForwardPass(copy, false);
      const double e = copy.ScaledTargets(1, p) - copy.NodeValues(1, 3);
      sum += e * e;
    }
    return sum;
  }

  Workspace ws;
  ScriptedHost host;
};

TEST_F(TrainingTest, OnePatternStepIsHalfEpsilonDownTheGradient) {
  // An independent check of the deltas: finite differences of the squared
  // error of one pattern. One update is w -= (epsilon / 2) dE/dw.
  ws.TextBuffer(BufferId::TrainingDataD1) = "1\r\n0.3,-0.7,0.4";
  ws.TrainingLimit = 2;
  ws.Epsilon = 0.1;
  ws.LoadedSet = 0;
  Workspace before = ws;
  ASSERT_EQ(Train(), TrainOutcome::Finished);
  before.NodeValues(0, 1) = 1;
  before.NodeValues(0, 2) = 1;
  before.NodeValues(1, 1) = 0.3;
  before.NodeValues(2, 1) = -0.7;
  auto error = [&](Workspace w) {
    ForwardPass(w, false);
    const double e = 0.4 - w.NodeValues(1, 3);
    return e * e;
  };
  for (int h = 1; h <= 2; ++h) {
    for (int i = 0; i <= 2; ++i) {
      for (int j = 1; j <= (h == 1 ? 2 : 1); ++j) {
        Workspace up = before;
        Workspace down = before;
        const double step = 1e-6;
        up.Weights(i, j, h) = before.Weights(i, j, h) + step;
        down.Weights(i, j, h) = before.Weights(i, j, h) - step;
        const double gradient = (error(up) - error(down)) / (2 * step);
        EXPECT_NEAR(ws.Weights(i, j, h) - before.Weights(i, j, h), -0.05 * gradient, 1e-9)
            << "weight " << i << "," << j << "," << h;
      }
    }
  }
}

TEST_F(TrainingTest, ExclusiveOrReportsEveryCycleAndStopsBelowTheThreshold) {
  std::vector<double> errorsBeforeCycles;
  host.onYield = [&](int yield) {
    if (yield % 4 == 1) errorsBeforeCycles.push_back(SquaredError(ws));
  };
  ASSERT_EQ(Train(), TrainOutcome::Finished);
  const int cycles = static_cast<int>(host.yields) / 4;
  ASSERT_GE(cycles, 2);
  EXPECT_LT(SquaredError(ws), errorsBeforeCycles.front()) << "training lowers the error";
  EXPECT_EQ(ws.TrialCounter, cycles < 999 ? 1001 : 1000);
  EXPECT_EQ(ws.Busy, 1) << "the interpreter, not training, clears Busy";

  // The last cycle's report: at (5, 1) and (6.5, 1), the counter in its
  // print form and the error in " ##.######" followed by six blanks.
  const std::vector<PlacedText>& texts = host.canvas.texts;
  ASSERT_GE(texts.size(), 2u);
  const PlacedText& trial = texts[texts.size() - 2];
  const PlacedText& error = texts.back();
  EXPECT_EQ(trial.text, "Trial=" + PrintForm(cycles));
  EXPECT_DOUBLE_EQ(trial.x, 5);
  EXPECT_DOUBLE_EQ(trial.y, 1);
  EXPECT_DOUBLE_EQ(error.x, 6.5);
  EXPECT_DOUBLE_EQ(error.y, 1);
  ASSERT_EQ(error.text.substr(0, 6), "Error=");
  ASSERT_EQ(error.text.substr(error.text.size() - 6), "      ");
  const double shown = std::stod(error.text.substr(6));
  if (cycles < 999) {
    EXPECT_LT(shown, 0.001);
  }
  EXPECT_EQ(error.text, "Error=" + FormatPattern(shown, " ##.######") + "      ");
}

TEST_F(TrainingTest, ErrorShownIsTheCyclesSumBeforeEachUpdate) {
  // Each pattern is measured before its own update: recompute the first
  // cycle's sum pattern by pattern at each yield.
  double sum = 0.0;
  host.onYield = [&](int yield) {
    if (yield > 4) return;
    Workspace copy = ws;
    copy.NodeValues(1, 1) = copy.ScaledInputs(1, yield);
    copy.NodeValues(2, 1) = copy.ScaledInputs(2, yield);
    copy.NodeValues(0, 1) = 1;
    copy.NodeValues(0, 2) = 1;
    ForwardPass(copy, false);
    const double e = copy.ScaledTargets(1, yield) - copy.NodeValues(1, 3);
    sum += e * e;
  };
  ws.TrainingLimit = 2;
  Train();
  EXPECT_EQ(Texts(), (std::vector<std::string>{
                         "Trial= 1 ", "Error=" + FormatPattern(sum, " ##.######") + "      "}));
}

TEST_F(TrainingTest, TrainingLimits) {
  struct Case {
    double limit;
    int cycles;
  };
  for (const Case& c : {Case{2, 1}, Case{1, 0}, Case{0, 0}, Case{-5, 0}, Case{4.5, 4}}) {
    ws.TrainingLimit = c.limit;
    ws.ErrorTest = 0;
    host.yields = 0;
    Train();
    EXPECT_EQ(host.yields, 4 * c.cycles) << c.limit;
    EXPECT_EQ(host.canvas.texts.size(), 2u * static_cast<std::size_t>(c.cycles)) << c.limit;
  }
}

TEST_F(TrainingTest, InterruptStopsBeforeTheNextPatternAndEndsTheRun) {
  ws.InterruptKey = 65;  // cleared when training starts
  WeightTable atInterrupt;
  host.onYield = [&](int yield) {
    if (yield == 3) {
      ws.InterruptKey = 27;
      atInterrupt = ws.Weights;
    }
  };
  const WeightTable initial = ws.Weights;
  host.canvas.clears = 0;
  RunLines("TRAIN=1\r\nTRAINMAX=7");
  EXPECT_EQ(host.yields, 3);
  EXPECT_EQ(ws.TrainingLimit, 1000) << "later program lines do not run";
  EXPECT_EQ(ws.Busy, 0);
  EXPECT_TRUE(host.warnings.empty());
  EXPECT_EQ(host.canvas.clears, 1) << "the closing redraw still happens";
  EXPECT_EQ(host.canvas.TextLog(), "Bias  |Active") << "no cycle was reported";
  for (int i = 0; i <= 2; ++i) {
    EXPECT_EQ(ws.Weights(i, 1, 1), atInterrupt(i, 1, 1)) << "no update after the interrupt";
  }
  EXPECT_NE(ws.Weights(1, 1, 1), initial(1, 1, 1)) << "two patterns were trained";
}

TEST_F(TrainingTest, DigitalErrorCountsAndItsTest) {
  ws.OutputMode = 0;
  ws.TrainingLimit = 3;
  ws.ErrorTest = 0;
  Train();
  // Untrained outputs miss the targets: the count is a whole number.
  const std::string first = Texts()[1];
  EXPECT_EQ(first.substr(0, 6), "Error=");
  EXPECT_EQ(first.substr(first.size() - 2), "  ");
  const double count = std::stod(first.substr(6));
  EXPECT_EQ(count, std::floor(count));
  EXPECT_EQ(first, "Error=" + PrintForm(count) + "  ");

  // Targets within .55 of the outputs count nothing, and the test stops
  // training after cycle 2.
  for (int h = 1; h <= 2; ++h) {
    for (int i = 0; i <= 2; ++i) {
      for (int j = 1; j <= 2; ++j) ws.Weights(i, j, h) = 0;
    }
  }
  ws.TextBuffer(BufferId::TrainingDataD1) = "4\r\n-1,-1,-.5\r\n-1,1,.5\r\n1,-1,.55\r\n1,1,-.55";
  ws.Epsilon = 0;
  ws.ErrorTest = 1;
  ws.TrainingLimit = 1000;
  host.yields = 0;
  Train();
  EXPECT_EQ(host.yields, 8);
  EXPECT_EQ(Texts(),
            (std::vector<std::string>{"Trial= 1 ", "Error= 0   ", "Trial= 2 ", "Error= 0   "}));
  EXPECT_EQ(ws.TrialCounter, 1001);
}

TEST_F(TrainingTest, DigitalCountsFollowTheIntegerPartOfThreePointTwoESquared) {
  // Zero weights give outputs of 0, so the error equals the target.
  for (int h = 1; h <= 2; ++h) {
    for (int i = 0; i <= 2; ++i) {
      for (int j = 1; j <= 2; ++j) ws.Weights(i, j, h) = 0;
    }
  }
  ws.Epsilon = 0;
  ws.TrainingLimit = 2;
  ws.OutputMode = 0;
  struct Case {
    const char* target;
    const char* shown;
  };
  for (const Case& c :
       {Case{".559", "Error= 0   "}, Case{".5591", "Error= 1   "}, Case{"-.79", "Error= 1   "},
        Case{".7906", "Error= 2   "}, Case{"2", "Error= 12   "}}) {
    ws.TextBuffer(BufferId::TrainingDataD1) = std::string("1\r\n0,0,") + c.target;
    Train();
    EXPECT_EQ(Texts()[1], c.shown) << c.target;
  }
}

TEST_F(TrainingTest, ModesOtherThanZeroAndOneCountDigitallyButReportAsAnalog) {
  ws.TextBuffer(BufferId::TrainingDataD1) = "1\r\n0,0,0.6";  // e = .6: 3.2 e^2 = 1.152
  for (int h = 1; h <= 2; ++h) {
    for (int i = 0; i <= 2; ++i) {
      for (int j = 1; j <= 2; ++j) ws.Weights(i, j, h) = 0;
    }
  }
  ws.Epsilon = 0;
  ws.TrainingLimit = 2;
  ws.OutputMode = 2;
  Train();
  EXPECT_EQ(Texts()[1], "Error= 1.      ");
  ws.OutputMode = 1;
  Train();
  EXPECT_EQ(Texts()[1], "Error= .36      ");
}

TEST_F(TrainingTest, ShowTestOffReportsOnlyTheCycleAndNeverStops) {
  ws.ShowTest = 0;
  ws.TrainingLimit = 4;
  ws.TextBuffer(BufferId::TrainingDataD1) = "0";
  Train();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Trial= 1 ", "Trial= 2 ", "Trial= 3 "}));
}

TEST_F(TrainingTest, EmptySetYieldsOncePerCycleAndStopsAfterCycleTwo) {
  ws.TextBuffer(BufferId::TrainingDataD1) = "";
  Train();
  EXPECT_EQ(host.yields, 2);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Trial= 1 ", "Error= .      ", "Trial= 2 ",
                                               "Error= .      "}));
  ws.AnalogThreshold = 0;  // 0 is never below 0
  ws.TrainingLimit = 6;
  Train();
  EXPECT_EQ(Texts().size(), 10u);
  // A limit no one waits for: the user's key still stops it.
  ws.ErrorTest = 0;
  ws.TrainingLimit = 2e9;
  host.yields = 0;
  host.onYield = [this](int n) { ws.InterruptKey = n >= 1000 ? 13 : 0; };
  EXPECT_EQ(Train(), TrainOutcome::Interrupted);
  EXPECT_EQ(ws.TrialCounter.Value(), 1000);
}

TEST_F(TrainingTest, ShowRateRedrawsAsAWholeNumber) {
  struct Case {
    double rate;
    int redraws;  // in 6 cycles
  };
  ws.ErrorTest = 0;
  ws.TrainingLimit = 7;
  for (const Case& c :
       {Case{1, 6}, Case{2, 3}, Case{2.5, 3}, Case{3.5, 1}, Case{-3, 2}, Case{10, 0}}) {
    ws.ShowRate = c.rate;
    Train();
    EXPECT_EQ(host.canvas.clears, c.redraws) << c.rate;
  }
}

TEST_F(TrainingTest, RunErrorsEndTheRunWithTheMessage) {
  struct Case {
    const char* program;
    const char* what;  // the run error's third line
  };
  const Case cases[] = {
      {"SHOW=0\r\nTRAIN=1", "Line 2 (TRAIN=1): the show rate is 0"},
      {"SHOW=.4\r\nTRAIN=1", "Line 2 (TRAIN=1): the show rate is 0"},
      {"SHOW=3e9\r\nTRAIN=1",
       "Line 2 (TRAIN=1): the show rate is 3000000000, outside "
       "-2147483648..2147483647"},
      {"FUNCTION=1\r\nEPSILON=1e200\r\nTRAIN=1",
       "Line 3 (TRAIN=1): the net input of neurode 1 of layer 3 is too large (overflow) at "
       "pattern 2"},
  };
  for (const Case& c : cases) {
    SetUp();
    host.warnings.clear();
    RunLines(c.program);
    ASSERT_EQ(host.warnings.size(), 1u) << c.what;
    EXPECT_EQ(host.warnings[0], std::string(kRunErrorMessage) + "\n\r" + c.what);
    EXPECT_EQ(ws.Busy, 0);
    for (int h = 1; h <= 2; ++h) {
      for (int j = 1; j <= 2; ++j) {
        EXPECT_FALSE(std::isnan(ws.Weights(1, j, h))) << c.what << ": the run stops in time";
      }
    }
  }
  // Saturating the tangent is not an error.
  SetUp();
  host.warnings.clear();
  RunLines("EPSILON=1e200\r\nTRAINMAX=3\r\nTRAIN=1");
  EXPECT_TRUE(host.warnings.empty());
}

TEST_F(TrainingTest, ParametersChangedDuringAYieldTakeEffect) {
  const WeightTable initial = ws.Weights;
  host.onYield = [&](int) { ws.Epsilon = 0; };
  ws.TrainingLimit = 3;
  Train();
  EXPECT_EQ(ws.Weights(1, 1, 1), initial(1, 1, 1)) << "epsilon 0 from the first yield on";

  host.onYield = [&](int yield) {
    if (yield == 2) ws.TrainingLimit = 2;
  };
  ws.TrainingLimit = 1000;
  ws.ErrorTest = 0;
  host.yields = 0;
  Train();
  EXPECT_EQ(host.yields, 4) << "a lower limit ends training after the cycle";
}

TEST_F(TrainingTest, UpdateModeChangesNothingAndBiasOffKeepsBiasWeights) {
  ws.TrainingLimit = 5;
  ws.UpdateMode = 1;
  Workspace other = ws;
  Train();
  ScriptedHost otherHost;
  other.UpdateMode = 2;
  TrainNet(other, otherHost);
  EXPECT_EQ(ws.Weights(0, 1, 2), other.Weights(0, 1, 2));

  ws.BiasFlags(1) = 0;
  const double bias = ws.Weights(0, 1, 1);
  ws.Weights(0, 2, 1) = -0.0;
  Train();
  EXPECT_EQ(ws.Weights(0, 1, 1), bias);
  EXPECT_TRUE(std::signbit(ws.Weights(0, 2, 1))) << "an unused bias weight keeps its very bits";
  EXPECT_NE(ws.Weights(0, 1, 2), other.Weights(0, 1, 2));
}

}  // namespace
}  // namespace backprop
