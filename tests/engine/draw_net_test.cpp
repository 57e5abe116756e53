// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "engine/draw_net.h"
#include "engine/net_hit.h"
#include "engine/workspace.h"
#include "tests/support/nets.h"
#include "tests/support/recording_canvas.h"

namespace backprop {
namespace {

using testing::DrawnLine;
using testing::RecordingCanvas;

TEST(DrawNet, StartUpNetIsTwoLayersOfTwoWithThinBlackLines) {
  Workspace ws;
  ApplyDefaults(ws);
  RecordingCanvas canvas;
  DrawNet(ws, canvas);

  EXPECT_EQ(canvas.clears, 1);
  ASSERT_EQ(canvas.texts.size(), 2u);
  EXPECT_EQ(canvas.texts[0].text, "Bias  ");
  EXPECT_DOUBLE_EQ(canvas.texts[0].x, 0.2);
  EXPECT_DOUBLE_EQ(canvas.texts[0].y, -0.7);
  EXPECT_EQ(canvas.texts[1].text, "Active");
  EXPECT_DOUBLE_EQ(canvas.texts[1].y, 0.6);

  const DrawnLine* divider = canvas.FindLine(1, 0.5, 9, 0.5);
  ASSERT_NE(divider, nullptr);
  EXPECT_EQ(divider->style, LineStyle::Dotted);
  EXPECT_TRUE(divider->foreground);

  EXPECT_EQ(canvas.circles.size(), 4u) << "no bias neurodes at start";
  ASSERT_EQ(canvas.lines.size(), 5u);  // divider and four connections
  for (std::size_t n = 1; n < canvas.lines.size(); ++n) {
    EXPECT_EQ(canvas.lines[n].colour, kBlack);
    EXPECT_EQ(canvas.lines[n].width, 1);
    EXPECT_EQ(canvas.lines[n].style, LineStyle::Solid);
  }
  EXPECT_EQ(canvas.width, 1) << "the line width is set back to 1";
}

TEST(DrawNet, ColourAndWidthFollowTheWeight) {
  struct Case {
    double weight;
    Rgb colour;
    int width;
  };
  const Case cases[] = {
      {0.95, kBlack, 1}, {-0.95, kRed, 1},  {0.9501, kBlack, 3}, {-0.9501, kRed, 3},
      {0.0, kBlack, 1},  {-1e-12, kRed, 1}, {5.0, kBlack, 3},
  };
  for (const Case& c : cases) {
    Workspace ws;
    ApplyDefaults(ws);
    ws.Weights(2, 1, 1) = c.weight;
    RecordingCanvas canvas;
    DrawNet(ws, canvas);
    const DrawnLine* line = canvas.FindLine(1, 2, 2, 1);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->colour, c.colour) << c.weight;
    EXPECT_EQ(line->width, c.width) << c.weight;
  }
}

TEST(DrawNet, BiasRowsOnlyWhereTheFlagIsOne) {
  Workspace ws;
  ApplyDefaults(ws);
  ws.LayerCount = 3;
  ws.LayerSizes(3) = 1;
  ws.BiasFlags(1) = 1;
  ws.BiasFlags(2) = 0;
  ws.BiasFlags(3) = 1;       // drawn, but the last layer has no connections
  ws.Weights(0, 1, 2) = -2;  // bias weight of a layer without bias: not drawn
  RecordingCanvas canvas;
  DrawNet(ws, canvas);

  EXPECT_EQ(canvas.circles.size(), 7u);
  EXPECT_NE(canvas.FindLine(1, 0, 2, 1), nullptr);
  EXPECT_NE(canvas.FindLine(1, 0, 2, 2), nullptr);
  EXPECT_EQ(canvas.FindLine(2, 0, 3, 1), nullptr);
  for (const DrawnLine& l : canvas.lines) EXPECT_FALSE(l.x1 == 3) << "no lines from the last layer";
  // 2 bias + 4 from layer 1, 2 from layer 2, plus the divider
  EXPECT_EQ(canvas.lines.size(), 9u);
}

TEST(DrawNet, OneLayerAndEmptyColumns) {
  Workspace ws;
  ApplyDefaults(ws);
  ws.LayerCount = 1;
  RecordingCanvas one;
  DrawNet(ws, one);
  EXPECT_EQ(one.circles.size(), 2u);
  EXPECT_EQ(one.lines.size(), 1u) << "only the divider";

  ws.LayerCount = 4;  // layer 3 unset, layer 4 sized
  ws.LayerSizes(4) = 1;
  ws.BiasFlags(3) = 1;
  RecordingCanvas gaps;
  DrawNet(ws, gaps);
  EXPECT_EQ(gaps.circles.size(), 6u);  // 2 + 2 + the bias of layer 3 + 1
  EXPECT_NE(gaps.FindLine(3, 0, 4, 1), nullptr);
}

TEST(DrawNet, DescribedInWordsAsDrawn) {
  Workspace ws;
  ApplyDefaults(ws);
  testing::SetGeometry(ws, {2, 3, 2}, {1, 1, 0});
  EXPECT_EQ(DescribeNet(ws), "3 layers: 2, 3 and 2 neurodes, bias in layers 1 and 2");
  testing::SetGeometry(ws, {1}, {1});
  EXPECT_EQ(DescribeNet(ws), "1 layer: 1 neurode, bias in layer 1");
  testing::SetGeometry(ws, {2, 2, 0, 1}, {0, 0, 1, 0});  // an empty column, as drawn
  EXPECT_EQ(DescribeNet(ws), "4 layers: 2, 2, 0 and 1 neurodes, bias in layer 3");
}

}  // namespace
}  // namespace backprop
