// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "engine/engine_error.h"
#include "engine/workspace.h"

namespace backprop {
namespace {

TEST(Workspace, StartsUnsetAndUnsetReadsAsZero) {
  Workspace ws;
  EXPECT_FALSE(ws.LayerCount.IsSet());
  EXPECT_EQ(ws.LayerCount, 0.0);
  EXPECT_EQ(ws.Weights(3, 4, 5) + 1.0, 1.0);
  EXPECT_TRUE(ws.ProgramName.empty());
  ws.Weights(1, 1, 1) = -2.5;
  EXPECT_EQ(ws.Weights(1, 1, 1), -2.5);
  EXPECT_EQ(ws.Weights(1, 2, 1), 0.0) << "a neighbour keeps its 0";
}

TEST(Workspace, DefaultsFillParametersAndGeometryOnly) {
  Workspace ws;
  ws.Weights(1, 2, 1) = 0.5;
  ws.BiasFlags(1) = 1;
  ws.TextBuffer(BufferId::ProgramS1) = "NETLIST=2,2,2";
  ws.TestSetName = "mine";
  ws.Epsilon = 9;
  ApplyDefaults(ws);

  EXPECT_EQ(ws.AnalogThreshold, 0.001);
  EXPECT_EQ(ws.ShowTest, 1);
  EXPECT_EQ(ws.LayerCount, 2);
  EXPECT_EQ(ws.LayerSizes(1), 2);
  EXPECT_EQ(ws.LayerSizes(2), 2);
  EXPECT_EQ(ws.ProgramName, "Unsaved.prg");
  EXPECT_EQ(ws.TrainingSetName, "Unsaved.trn");
  EXPECT_EQ(ws.RunSetName, "Unsaved.run");
  EXPECT_EQ(ws.TransferFunctionName, "Sigmoid/TANH");
  EXPECT_EQ(ws.TransferFunction, 2);
  EXPECT_EQ(ws.OutputRangeLow, -1);
  EXPECT_EQ(ws.OutputRangeHigh, 1);
  EXPECT_EQ(ws.WeightSeed, 1);
  EXPECT_EQ(ws.ShowRate, 10);
  EXPECT_EQ(ws.UpdateMode, 1);
  EXPECT_EQ(ws.TrainingLimit, 1000);
  EXPECT_EQ(ws.InputRangeLow, -1);
  EXPECT_EQ(ws.InputRangeHigh, 1);
  EXPECT_EQ(ws.OutputMode, 1);
  EXPECT_EQ(ws.Epsilon, 0.05);
  EXPECT_EQ(ws.ErrorTest, 1);

  EXPECT_EQ(ws.Weights(1, 2, 1), 0.5);
  EXPECT_EQ(ws.BiasFlags(1), 1);
  EXPECT_EQ(ws.TextBuffer(BufferId::ProgramS1), "NETLIST=2,2,2");
  EXPECT_EQ(ws.TestSetName, "mine");
  EXPECT_FALSE(ws.LayerSizes(3).IsSet());
}

TEST(Workspace, TablesCheckEveryIndex) {
  Workspace ws;
  EXPECT_NO_THROW(ws.Weights(10, 10, 10) = 1);
  EXPECT_NO_THROW(ws.RawInputs(10, 300) = 1);
  EXPECT_THROW(ws.Weights(11, 0, 0), EngineError);
  EXPECT_THROW(ws.Weights(0, 0, 11), EngineError);
  EXPECT_THROW(ws.NodeValues(-1, 0), EngineError);
  EXPECT_THROW(ws.RawInputs(1, 301), EngineError);
  EXPECT_THROW(ws.LineItems(21), EngineError);
  EXPECT_THROW(ws.LayerSizes(11), EngineError);
}

TEST(Workspace, RealIndicesRoundHalfToEven) {
  Workspace ws;
  ws.LayerSizes(2) = 7;
  ws.LayerSizes(4) = 9;
  EXPECT_EQ(ws.LayerSizes(2.5), 7);  // half goes to the even neighbour
  EXPECT_EQ(ws.LayerSizes(3.5), 9);
  EXPECT_EQ(ws.LayerSizes(1.6), 7);
  EXPECT_NO_THROW(ws.LayerSizes(10.5));  // rounds to 10
  EXPECT_THROW(ws.LayerSizes(10.6), EngineError);
  EXPECT_THROW(ws.LayerSizes(-0.6), EngineError);
  EXPECT_THROW(ws.LayerSizes(std::numeric_limits<double>::quiet_NaN()), EngineError);
  EXPECT_THROW(ws.LayerSizes(1e300), EngineError);
}

TEST(Workspace, TransferFunctionNames) {
  EXPECT_STREQ(TransferFunctionNameOf(1), "Linear");
  EXPECT_STREQ(TransferFunctionNameOf(2), "Sigmoid/TANH");
  EXPECT_STREQ(TransferFunctionNameOf(3), "Arctangent");
  EXPECT_STREQ(TransferFunctionNameOf(4), "SGN");
  EXPECT_STREQ(TransferFunctionNameOf(2.5), "");
}

}  // namespace
}  // namespace backprop
