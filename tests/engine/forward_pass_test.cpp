// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine_error.h"
#include "engine/exponential.h"
#include "engine/forward_pass.h"
#include "engine/transfer_function.h"
#include "engine/workspace.h"
#include "tests/support/nets.h"

namespace backprop {
namespace {

TEST(Transfer, FunctionsAndSlopes) {
  struct Case {
    TransferCode code;
    double x, output, slope;
  };
  const double tanhHalf = std::tanh(0.5);
  const Case cases[] = {
      {TransferCode::Linear, 2.5, 2.5, 1.0},
      {TransferCode::Linear, -1e300, -1e300, 1.0},
      {TransferCode::SigmoidTanh, 0.0, 0.0, 1.0},
      {TransferCode::SigmoidTanh, 0.5, tanhHalf, 1.0 - tanhHalf * tanhHalf},
      {TransferCode::SigmoidTanh, -0.5, -tanhHalf, 1.0 - tanhHalf * tanhHalf},
      {TransferCode::SigmoidTanh, 800.0, 1.0, 0.0},  // no overflow: saturates
      {TransferCode::SigmoidTanh, -1e308, -1.0, 0.0},
      {TransferCode::Arctangent, 1.0, 0.7853981633974483 / 1.570796, 0.5},
      {TransferCode::Arctangent, -3.0, std::atan(-3.0) / 1.570796, 0.1},
      {TransferCode::Sign, -3.0, -1.0, 1.0},
      {TransferCode::Sign, 0.0, 0.0, 1.0},
      {TransferCode::Sign, 1e-300, 1.0, 1.0},
  };
  // Each neurode of one layer, slope and output.
  const auto transfer = [](TransferCode code, double x, double& carried) {
    double y[2] = {};
    double s[2] = {};
    TransferLayer<2>(code, &x - 1, y, s, 1, 1, carried);
    return std::pair{y[1], s[1]};
  };
  for (const Case& c : cases) {
    double carried = -7.0;
    const auto [output, slope] = transfer(c.code, c.x, carried);
    EXPECT_NEAR(output, c.output, 1e-15) << int(c.code) << " " << c.x;
    EXPECT_NEAR(slope, c.slope, 1e-15) << int(c.code) << " " << c.x;
    EXPECT_EQ(carried, slope) << "the last slope is carried on";
  }
  double carried = 0.25;
  const auto [output, slope] = transfer(TransferCode::Unknown, 3.5, carried);
  EXPECT_EQ(output, 3.5);
  EXPECT_EQ(slope, 0.25) << "an unknown code takes the previous slope";
  EXPECT_EQ(carried, 0.25);
  EXPECT_GT(ScaledArctangent(1.0), 0.5) << "the decimal divisor makes atan(1) exceed .5";
  EXPECT_GT(ScaledArctangent(1e10), 1.0);
}

TEST(Transfer, OwnExponentialIsAccurate) {
  for (double a = 0.0; a >= -40.0; a -= 0.000731) {
    const double exact = std::exp(a);
    EXPECT_LE(std::fabs(ExpOfNonPositive(a) - exact), 2.3e-16 * exact) << a;
  }
  EXPECT_EQ(ExpOfNonPositive(0.0), 1.0);
  EXPECT_EQ(ExpOfNonPositive(-0.0), 1.0);
  EXPECT_EQ(ExpOfNonPositive(-1e300), ExpOfNonPositive(-40.0)) << "clamped, never 0 or denormal";
  EXPECT_EQ(SigmoidTanh(20.0), 1.0);
  EXPECT_EQ(SigmoidTanh(-1e300), -1.0);
}

TEST(Transfer, CodesAndTanhAccuracy) {
  EXPECT_EQ(TransferCodeOf(1), TransferCode::Linear);
  EXPECT_EQ(TransferCodeOf(4), TransferCode::Sign);
  EXPECT_EQ(TransferCodeOf(0), TransferCode::Unknown);
  EXPECT_EQ(TransferCodeOf(2.5), TransferCode::Unknown);
  for (double x = -25.0; x <= 25.0; x += 0.0137) {
    EXPECT_NEAR(SigmoidTanh(x), std::tanh(x), 4e-16) << x;
  }
}

// A 2-3-2 net with bias neurodes on layers 1 and 2.
class ForwardPassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ApplyDefaults(ws);
    testing::SetGeometry(ws, {2, 3, 2});
    for (int k = 1; k <= 3; ++k) ws.NodeValues(0, k) = k < 3 ? 1 : 0;
    ws.NodeValues(1, 1) = 0.3;
    ws.NodeValues(2, 1) = -0.8;
    for (int h = 1; h <= 2; ++h) {
      for (int i = 0; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j) ws.Weights(i, j, h) = 0.1 * i - 0.2 * j + 0.05 * h;
      }
    }
  }

  Workspace ws;
};

TEST_F(ForwardPassTest, MatchesAHandComputation) {
  // Independent of the engine's loops: plain arrays and std::tanh.
  double hidden[4] = {1.0, 0, 0, 0};
  for (int j = 1; j <= 3; ++j) {
    double x = 0.0;
    const double in[3] = {1.0, 0.3, -0.8};
    for (int i = 0; i <= 2; ++i) x += (0.1 * i - 0.2 * j + 0.05) * in[i];
    hidden[j] = std::tanh(x);
  }
  ForwardPass(ws, true);
  for (int j = 1; j <= 3; ++j) {
    EXPECT_NEAR(ws.NodeValues(j, 2), hidden[j], 1e-15);
    EXPECT_NEAR(ws.Slopes(j, 2), 1.0 - hidden[j] * hidden[j], 1e-15);
  }
  for (int j = 1; j <= 2; ++j) {
    double x = 0.0;
    for (int i = 0; i <= 3; ++i) x += (0.1 * i - 0.2 * j + 0.1) * hidden[i];
    EXPECT_NEAR(ws.NodeValues(j, 3), std::tanh(x), 1e-15);
  }
  EXPECT_EQ(ws.NetInputs(1, 2), 0.0) << "recording slopes leaves the net inputs";

  ForwardPass(ws, false);
  const double x =
      1.0 * ws.Weights(0, 1, 1) + 0.3 * ws.Weights(1, 1, 1) - 0.8 * ws.Weights(2, 1, 1);
  EXPECT_NEAR(ws.NetInputs(1, 2), x, 1e-15);
  EXPECT_NEAR(ws.NodeValues(1, 2), hidden[1], 1e-15);
}

TEST_F(ForwardPassTest, BiasFlagOffIgnoresBiasWeights) {
  ws.NodeValues(0, 1) = 0;
  ForwardPass(ws, true);
  const double before = ws.NodeValues(1, 3);
  ws.Weights(0, 1, 1) = 50;
  ws.Weights(0, 2, 1) = -50;
  ForwardPass(ws, true);
  EXPECT_EQ(ws.NodeValues(1, 3), before);
}

TEST_F(ForwardPassTest, ZeroWeightsAndOtherFunctions) {
  for (int h = 1; h <= 2; ++h) {
    for (int i = 0; i <= 3; ++i) {
      for (int j = 1; j <= 3; ++j) ws.Weights(i, j, h) = 0;
    }
  }
  ForwardPass(ws, true);
  EXPECT_EQ(ws.NodeValues(2, 3), 0);
  EXPECT_EQ(ws.Slopes(2, 3), 1);
  ws.TransferFunction = 4;
  ForwardPass(ws, true);
  EXPECT_EQ(ws.NodeValues(3, 2), 0) << "SGN of 0 is 0";

  ws.TransferFunction = 9;  // passes through, slopes stay 0 within a fresh pass
  ws.Weights(1, 1, 1) = 2;
  ForwardPass(ws, true);
  EXPECT_DOUBLE_EQ(ws.NodeValues(1, 2), 0.6);
  EXPECT_EQ(ws.Slopes(1, 2), 0);
}

TEST_F(ForwardPassTest, OneLayerComputesNothing) {
  ws.LayerCount = 1;
  ForwardPass(ws, true);
  EXPECT_EQ(ws.NodeValues(1, 2), 0.0);
  EXPECT_EQ(ws.NodeValues(1, 1), 0.3);
}

TEST_F(ForwardPassTest, OverflowAndGeometryBeyondTheTablesAreRunErrors) {
  ws.TransferFunction = 1;
  ws.Weights(1, 1, 1) = 1e308;
  ws.NodeValues(1, 1) = 10;
  EXPECT_THROW(ForwardPass(ws, true), EngineError);

  ws.TransferFunction = 2;
  EXPECT_THROW(ForwardPass(ws, true), EngineError) << "an infinite net input is an error";
  ws.Weights(1, 1, 1) = 1e300;  // a finite but huge net input saturates
  EXPECT_NO_THROW(ForwardPass(ws, true));
  EXPECT_EQ(ws.NodeValues(1, 2), 1);

  ws.LayerSizes(2) = 11;
  EXPECT_THROW(ForwardPass(ws, true), EngineError);
  ws.LayerSizes(2) = 3;
  ws.LayerCount = 11;
  EXPECT_THROW(ForwardPass(ws, false), EngineError);
}

TEST(OutputToUserRange, InvertsTheTargetScaling) {
  Workspace ws;
  ws.OutputRangeLow = -10;
  ws.OutputRangeHigh = 0;
  EXPECT_EQ(OutputToUserRange(ws, -1), -10);
  EXPECT_EQ(OutputToUserRange(ws, 0), -5);
  EXPECT_EQ(OutputToUserRange(ws, 1), 0);
}

}  // namespace
}  // namespace backprop
