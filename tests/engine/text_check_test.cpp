// SPDX-License-Identifier: GPL-3.0-or-later
// The text checks: each warning and the line it names, for programs and
// data texts, and how a data set's layout follows the programs that run
// before it is read. Plus the one line-end and blank helper they stand on.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "engine/text_check.h"
#include "engine/text_lines.h"
#include "engine/workspace.h"

namespace backprop {

void PrintTo(const TextWarning& warning, std::ostream* out) {
  *out << "{" << warning.line << ", \"" << warning.text << "\"}";
}

namespace {

using Warnings = std::vector<TextWarning>;

TEST(TextLines, EveryLineEndCountsOnceAndBlanksAreSpacesAndTabs) {
  const std::string text = "a\r\nb\nc\rd\n\r\ne";
  TextLines lines(text);
  std::vector<std::string> seen;
  for (std::string_view line; lines.Next(line);) seen.emplace_back(line);
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));
  EXPECT_EQ(lines.Number(), 6);
  EXPECT_EQ(WithLineEnds(text, "\n"), "a\nb\nc\nd\n\ne");
  EXPECT_EQ(WithLineEnds("x\r", "\r\n"), "x\r\n");
  EXPECT_EQ(TrimBlanks(" \t a b\t "), "a b");
  EXPECT_EQ(TrimTrailingBlanks("  a \t"), "  a");
}

TEST(TextCheck, ProgramWarningsNameTheirLines) {
  struct Case {
    const char* program;
    Warnings warnings;
  };
  const Case cases[] = {
      // Remarks, with or without "=", and keyword lines as they should be.
      {"** X + Y = 6\r\nNOTE 3 THINGS\r\nepsilon=.2\r\nNETLIST=3,2,3,2\r\nTRAIN=1", {}},
      {"NETLIST=2,2,1\r\nEPSILN=.5", {{2, "EPSILN: not a keyword; did you mean EPSILON?"}}},
      {"trainmx=10\nRANGE=1,2\rLAYERS=3\r\nSHOWRATE=4\r\nTRAIN =1\r\nTRAIN 1",
       {{1, "trainmx: not a keyword; did you mean TRAINMAX?"},
        {2, "RANGE: not a keyword; did you mean ORANGE or IRANGE?"},
        {3, "LAYERS: not a keyword, so the line does nothing"},
        {4, "SHOWRATE: not a keyword; did you mean SHOW=?"},
        {5, "TRAIN: not a keyword; did you mean TRAIN=?"},
        {6, "TRAIN: not a keyword; did you mean TRAIN=?"}}},
      {"ERRTEST=ON\r\nEPSILON .5\r\nTRAIN=3",
       {{1, "ERRTEST: the value \"ON\" is not a number, so it reads as 0"},
        {2, "EPSILON: no \"=\" before its value, so it reads as 0"},
        {3, "TRAIN=: data set 3 holds nothing; the sets are 1 (D1), 2 (D2) and 4 (T1)"}}},
      {"NETLIST=3,a,,2\r\nNETLIST=3,2,3\r\nORANGE=5\r\nNETLIST=2,2,2,1",
       {{1, "NETLIST: value 2 is \"a\", not a number, so it reads as 0"},
        {1, "NETLIST: value 3 is empty, so it reads as 0"},
        {2, "NETLIST: 3 layers but 2 sizes; a layer without a size here keeps its earlier one"},
        {3, "ORANGE: needs two values, low and high; a missing one comes from an earlier line"},
        {4, "NETLIST: 2 layers but 3 sizes; the sizes after layer 2 are not part of the net"}}},
      // The lines that would end a run, with the run's own reasons.
      {"NETLIST=11,2\r\nNETLIST=2,2,11\r\nWSEED=40000\r\nEPSILON=1E999\r\n"
       "IRANGE=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20",
       {{1, "the run would stop here: the layer count is 11, outside 0..10"},
        {2, "the run would stop here: the size of layer 2 is 11, outside 0..10"},
        {3, "the run would stop here: the seed (WSEED) is 40000, outside -32768..32767"},
        {4, "the run would stop here: a number on the line is too large (overflow)"},
        {5, "the run would stop here: the line has more than 20 items"}}},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckProgram(c.program), c.warnings) << c.program;
}

TEST(TextCheck, DataWarningsNameTheirLines) {
  DataLayout xor21;  // two inputs, one output, ranges -1..1
  xor21.inputs = 2;
  xor21.outputs = 1;
  DataLayout test21 = xor21;
  test21.outputsOptional = true;
  struct Case {
    const char* text;
    const DataLayout& layout;
    Warnings warnings;
  };
  const Case cases[] = {
      {"", xor21, {}},
      {"4\r\n-1,-1,-1\r\n-1,1,1\r\n1,-1,1\r\n1,1,-1", xor21, {}},
      {"2\r\n-1,-1\r\n-1,1", test21, {}},
      {"2\r\n-1,-1,-1\r\n-1,1,1", test21, {}},
      {"4\r\n-1,-1,-1\r\n\r\n-1,1,1,\r\n1",
       xor21,
       {{1,
         "declares 4 patterns, holds 2 whole patterns and 2 fields; a pattern is 2 inputs and 1 "
         "desired output"},
        {4, "pattern 3, input 1: the field is empty, so it reads as 0"}}},
      {"1\r\n1,1,1\r\n1,1,1",
       xor21,
       {{1,
         "declares 1 pattern, holds 2 whole patterns; a pattern is 2 inputs and 1 desired "
         "output"}}},
      {"3\r\n1,1\r\n1,1\r\n1",
       test21,
       {{1,
         "declares 3 patterns, holds 2 whole patterns and 1 field; a pattern is 2 inputs, or "
         "2 inputs and 1 desired output"}}},
      {"2\r\n1.5,x,1\r\n0,0,-3",
       xor21,
       {{2, "pattern 1, input 1: 1.5 is outside the input range -1..1"},
        {2, "pattern 1, input 2: \"x\" is not a number, so it reads as 0"},
        {3, "pattern 2, desired output 1: -3 is outside the output range -1..1"}}},
      {"four\r\n1,1,1", xor21, {{1, "the count \"four\" is not a number, so no pattern is read"}}},
      {"301\r\n1,1,1",
       xor21,
       {{1, "declares 301 patterns; at most 300 fit, so the run would stop here"}}},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckDataSet(c.text, c.layout), c.warnings) << c.text;
}

TEST(TextCheck, ManyWarningsEndWithOneThatSaysMoreFollow) {
  std::string program;
  for (int n = 0; n < 150; ++n) program += "EPSILN=.5\r\n";
  const Warnings warnings = CheckProgram(program);
  ASSERT_EQ(warnings.size(), static_cast<std::size_t>(kMaxWarnings) + 1);
  EXPECT_EQ(warnings.back(), (TextWarning{kMaxWarnings + 1, "more warnings from here on"}));
}

// A data set is read with the net and ranges of the line that first trains
// or steps on it; a set no program reads, with those the programs leave.
TEST(TextCheck, DataLayoutFollowsTheProgramsThatRunFirst) {
  Workspace ws;
  ApplyDefaults(ws);
  ws.TextBuffer(BufferId::ProgramS1) = "NETLIST=2,3,1\r\nIRANGE=-10,10\r\nTRAIN=1\r\nNETLIST=2,2,2";
  ws.TextBuffer(BufferId::ProgramS2) = "ORANGE=0,5\r\nTRAIN=2";
  const std::vector<BufferId> both{BufferId::ProgramS1, BufferId::ProgramS2};
  const auto d1 = LayoutOf(ws, 1, both);
  ASSERT_TRUE(d1);
  EXPECT_EQ(d1->inputs, 3);
  EXPECT_EQ(d1->outputs, 1);
  EXPECT_EQ(d1->inputHigh, 10);
  const auto d2 = LayoutOf(ws, 2, both);
  ASSERT_TRUE(d2);
  EXPECT_EQ(d2->inputs, 2);
  EXPECT_EQ(d2->outputHigh, 5);
  EXPECT_FALSE(d2->outputsOptional);
  const auto t1 = LayoutOf(ws, 4, {BufferId::ProgramS2});
  ASSERT_TRUE(t1);
  EXPECT_EQ(t1->inputs, 2) << "S2 alone leaves the start-up net";
  EXPECT_TRUE(t1->outputsOptional);
  EXPECT_EQ(CheckBuffer(ws, BufferId::TrainingDataD1, "1\r\n9,-9,0,1", both), Warnings{});
  EXPECT_EQ(ws.LayerSizes(1), 2) << "the walk changes a copy only";
}

}  // namespace
}  // namespace backprop
