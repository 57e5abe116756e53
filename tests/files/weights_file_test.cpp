// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/weights_file.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <sstream>
#include <vector>

#include "engine/workspace.h"
#include "files/file_error.h"
#include "files/text_file.h"
#include "tests/support/nets.h"
#include "tests/support/temp_folder.h"

namespace backprop {
namespace {

std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }

// Every cell a weights file can touch, bit for bit, plus whether it is set.
std::vector<std::uint64_t> NetState(const Workspace& ws) {
  std::vector<std::uint64_t> state;
  const auto add = [&state](const WorkspaceValue& cell) {
    state.push_back(Bits(cell.Value()));
    state.push_back(cell.IsSet());
  };
  add(ws.LayerCount);
  for (std::size_t c = 0; c < LayerTable::kSize; ++c) add(ws.LayerSizes.Cells()[c]);
  for (std::size_t c = 0; c < LayerTable::kSize; ++c) add(ws.BiasFlags.Cells()[c]);
  for (std::size_t c = 0; c < WeightTable::kSize; ++c) add(ws.Weights.Cells()[c]);
  for (const WorkspaceValue* p : {&ws.TransferFunction, &ws.InputRangeLow, &ws.InputRangeHigh,
                                  &ws.OutputRangeLow, &ws.OutputRangeHigh, &ws.OutputMode}) {
    add(*p);
  }
  return state;
}

// A double drawn from all bit patterns: every exponent, subnormals, -0.
double AnyFiniteDouble(std::mt19937_64& random) {
  for (;;) {
    const double value = std::bit_cast<double>(random());
    if (std::isfinite(value)) return value;
  }
}

// A workspace whose every weight cell holds a value unlike any in a file.
Workspace Filled(double marker) {
  Workspace ws;
  for (std::size_t c = 0; c < WeightTable::kSize; ++c) ws.Weights.Cells()[c] = marker;
  for (int k = 0; k <= kMaxLayers; ++k) {
    ws.LayerSizes(k) = marker;
    ws.BiasFlags(k) = marker;
  }
  return ws;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
    if (end == std::string::npos) break;
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines, const char* end = "\r\n") {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

// The file of the example net: 3 layers of 2, 2 and 1 neurodes, bias flags
// 1, 1, 0, each weight numbered so that its position shows.
Workspace ExampleNet() {
  Workspace ws;
  testing::SetGeometry(ws, {2, 2, 1}, {1, 1, 0});
  for (int i = 0; i <= 2; ++i) {
    for (int j = 1; j <= 2; ++j) ws.Weights(i, j, 1) = 100 + 10 * i + j + 0.5;
    ws.Weights(i, 1, 2) = -(200 + 10 * i + 1) - 0.25;
  }
  ws.TransferFunction = 2;
  ws.InputRangeLow = -1;
  ws.InputRangeHigh = 1;
  ws.OutputRangeLow = -10;
  ws.OutputRangeHigh = 0.05;
  ws.OutputMode = 0;
  return ws;
}

TEST(WeightsFile, WritesTheBlocksInOrderWithCrLf) {
  const std::vector<std::string> expected{"3", "2", "2", "1", "1", "1", "0", "101.5", "102.5",
                                          "111.5", "112.5", "121.5",
                                          "122.5",  // layer 1, j fastest, bias row
                                                    // first
                                          "-201.25", "-211.25", "-221.25",  // layer 2
                                          "2", "-1", "1", "-10", "0.05", "0"};
  const std::string text = WeightsFileText(ExampleNet());
  EXPECT_EQ(Lines(text), expected);
  EXPECT_EQ(text, JoinLines(expected));
}

TEST(WeightsFile, RoundTripsRandomNetsToTheLastBit) {
  std::mt19937_64 random(20240601);
  for (int trial = 0; trial < 200; ++trial) {
    Workspace ws;
    const int layers = static_cast<int>(random() % 11);  // 0..10
    ws.LayerCount = layers;
    for (int k = 1; k <= layers; ++k) {
      ws.LayerSizes(k) = trial == 0 ? 10 : static_cast<int>(random() % 11);
      ws.BiasFlags(k) = static_cast<int>(random() % 2);
    }
    for (std::size_t c = 0; c < WeightTable::kSize; ++c) {
      ws.Weights.Cells()[c] = AnyFiniteDouble(random);
    }
    ws.TransferFunction = 1 + static_cast<int>(random() % 4);
    ws.InputRangeLow = AnyFiniteDouble(random);
    ws.InputRangeHigh = AnyFiniteDouble(random);
    ws.OutputRangeLow = AnyFiniteDouble(random);
    ws.OutputRangeHigh = AnyFiniteDouble(random);
    ws.OutputMode = static_cast<int>(random() % 2);

    Workspace back;
    for (std::size_t c = 0; c < WeightTable::kSize; ++c)
      back.Weights.Cells()[c] = ws.Weights.Cells()[c];
    ReadWeightsText(back, WeightsFileText(ws));
    ASSERT_EQ(NetState(back), NetState(ws)) << "trial " << trial << ", " << layers << " layers";
  }
}

// Fields that should hold whole numbers may hold fractions (a function code
// typed into the parameters window); they are written so they read back.
TEST(WeightsFile, WholeNumberFieldsHoldingFractionsReadBack) {
  Workspace ws = ExampleNet();
  ws.TransferFunction = 2.5;
  ws.OutputMode = -0.125;
  ws.BiasFlags(2) = 0.75;
  ws.LayerSizes(3) = 1.25;  // still one target neurode
  ws.LayerCount = 3.4;      // still three layers
  const std::vector<std::string> lines = Lines(WeightsFileText(ws));
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(lines[0], "3.4");
  EXPECT_EQ(lines[3], "1.25");
  EXPECT_EQ(lines[5], "0.75");
  EXPECT_EQ(lines[16], "2.5");
  EXPECT_EQ(lines[21], "-0.125");
  Workspace back;
  ReadWeightsText(back, WeightsFileText(ws));
  EXPECT_EQ(NetState(back), NetState(ws));
}

TEST(WeightsFile, NoLayersGivesSevenLinesAndKeepsEverythingElse) {
  Workspace ws;
  ws.LayerCount = 0;
  ws.TransferFunction = 4;
  ws.InputRangeLow = 3;
  ws.InputRangeHigh = 88;
  ws.OutputRangeLow = -10;
  ws.OutputRangeHigh = 0;
  ws.OutputMode = 1;
  const std::string text = WeightsFileText(ws);
  EXPECT_EQ(Lines(text), (std::vector<std::string>{"0", "4", "3", "88", "-10", "0", "1"}));

  Workspace back = Filled(7.5);
  back.LayerCount = 5;
  ReadWeightsText(back, text);
  EXPECT_EQ(back.LayerCount, 0);
  EXPECT_EQ(back.InputRangeHigh, 88);
  for (std::size_t c = 0; c < WeightTable::kSize; ++c) ASSERT_EQ(back.Weights.Cells()[c], 7.5);
  for (int k = 0; k <= kMaxLayers; ++k) EXPECT_EQ(back.LayerSizes(k), 7.5);
}

TEST(WeightsFile, OneLayerHasNoWeights) {
  Workspace ws;
  ws.LayerCount = 1;
  ws.LayerSizes(1) = 4;
  ws.BiasFlags(1) = 1;
  ws.Weights(1, 1, 1) = 9;  // beyond the net: not written
  const std::string text = WeightsFileText(ws);
  EXPECT_EQ(Lines(text), (std::vector<std::string>{"1", "4", "1", "0", "0", "0", "0", "0", "0"}));
  Workspace back = Filled(-3);
  ReadWeightsText(back, text);
  EXPECT_EQ(back.LayerSizes(1), 4);
  EXPECT_EQ(back.BiasFlags(1), 1);
  EXPECT_EQ(back.LayerSizes(2), -3);
  EXPECT_EQ(back.Weights(1, 1, 1), -3);
}

TEST(WeightsFile, BiasRowsOfLayersWithoutBiasAreKept) {
  Workspace ws = ExampleNet();
  ws.BiasFlags(1) = 0;
  ws.BiasFlags(2) = 0;
  Workspace back = Filled(0);
  ReadWeightsText(back, WeightsFileText(ws));
  EXPECT_EQ(back.Weights(0, 1, 1), 101.5);
  EXPECT_EQ(back.Weights(0, 2, 1), 102.5);
  EXPECT_EQ(back.Weights(0, 1, 2), -201.25);
}

TEST(WeightsFile, WeightsOutsideTheNetKeepTheirValues) {
  Workspace back = Filled(42);
  ReadWeightsText(back, WeightsFileText(ExampleNet()));
  EXPECT_EQ(back.Weights(3, 1, 1), 42);  // source beyond layer 1's two neurodes
  EXPECT_EQ(back.Weights(1, 2, 2), 42);  // target beyond the output layer's one
  EXPECT_EQ(back.Weights(0, 1, 3), 42);  // the output layer has no outgoing weights
  EXPECT_EQ(back.LayerSizes(0), 42);     // element 0 is not part of the file
  EXPECT_EQ(back.BiasFlags(4), 42);
}

TEST(WeightsFile, ReadLeavesOtherParametersAlone) {
  Workspace back;
  ApplyDefaults(back);
  back.Epsilon = 0.3;
  back.TransferFunctionName = "Linear";
  ReadWeightsText(back, WeightsFileText(ExampleNet()));
  EXPECT_EQ(back.Epsilon, 0.3);
  EXPECT_EQ(back.TrainingLimit, 1000);
  EXPECT_EQ(back.TransferFunctionName, "Linear");
  EXPECT_EQ(back.TransferFunction, 2);
}

TEST(WeightsFile, ReadsTheNumberFormsAndLineEndsAFileMayHold) {
  // The example net's 22 values, written by hand in other forms.
  const std::vector<std::string> lines{
      " 3 ",   "+2",    "2.",    "1e0",   "\t1",   "1.0",     "0",       "1.015e2",
      "102.5", "111.5", "112.5", "121.5", "122.5", "-201.25", "-211.25", "-2.2125E+2",
      "2",     "-1",    "1",     "-10",   ".05",   " 0 "};
  const Workspace expected = ExampleNet();
  for (const char* end : {"\r\n", "\n"}) {
    Workspace back;
    ReadWeightsText(back, JoinLines(lines, end));
    EXPECT_EQ(NetState(back), NetState(expected))
        << "line end " << (end[0] == '\r' ? "CR LF" : "LF");
  }
  // The last line may lack its line end.
  std::string text = JoinLines(lines);
  text.resize(text.size() - 2);
  Workspace back;
  ReadWeightsText(back, text);
  EXPECT_EQ(NetState(back), NetState(expected));
}

TEST(WeightsFile, IgnoresLinesAfterTheLastValue) {
  const std::string text = WeightsFileText(ExampleNet()) + "17\r\nnot a number\r\n\r\n";
  Workspace back;
  ReadWeightsText(back, text);
  EXPECT_EQ(NetState(back), NetState(ExampleNet()));
}

TEST(WeightsFile, NumbersTooSmallForADoubleReadAsZero) {
  std::vector<std::string> lines = Lines(WeightsFileText(ExampleNet()));
  lines[7] = "1e-400";
  lines[8] = "-0.00000000000000000000000000000000000000001e-300";
  Workspace back;
  ReadWeightsText(back, JoinLines(lines));
  EXPECT_EQ(back.Weights(0, 1, 1), 0);
  EXPECT_EQ(Bits(back.Weights(0, 2, 1)), Bits(-0.0));
}

// A damaged file must leave the workspace exactly as it was.
void ExpectRefused(const std::string& text, const std::string& reasonPart) {
  Workspace ws = Filled(5);
  ws.LayerCount = 2;
  ws.TransferFunction = 3;
  const std::vector<std::uint64_t> before = NetState(ws);
  try {
    ReadWeightsText(ws, text);
    ADD_FAILURE() << "accepted: " << text;
  } catch (const FileError& error) {
    EXPECT_NE(error.Reason().find(reasonPart), std::string::npos) << error.Reason();
  }
  EXPECT_EQ(NetState(ws), before) << text;
}

TEST(WeightsFile, AFileCutShortChangesNothing) {
  const std::vector<std::string> lines = Lines(WeightsFileText(ExampleNet()));
  for (std::size_t keep = 0; keep < lines.size(); ++keep) {
    SCOPED_TRACE(keep);
    const std::vector<std::string> cut(lines.begin(), lines.begin() + keep);
    ExpectRefused(JoinLines(cut), "the file ends before line " + std::to_string(keep + 1));
  }
}

TEST(WeightsFile, ACountOrSizeBeyondTheTablesChangesNothing) {
  const struct {
    std::vector<std::string> lines;
    const char* reason;
  } cases[] = {
      {{"11"}, "the layer count is 11, outside 0..10"},
      {{"10.6"}, "the layer count is 11, outside 0..10"},
      {{"-1"}, "the layer count is -1, outside 0..10"},
      {{"2", "11", "1", "0", "0"}, "the size of layer 1 is 11, outside 0..10"},
      {{"2", "1", "11", "0", "0"}, "the size of layer 2 is 11, outside 0..10"},
      {{"1", "11", "0", "2", "-1", "1", "-1", "1", "1"},
       "the size of layer 1 is 11, outside 0..10"},
      {{"2", "-3", "1"}, "the size of layer 1 is -3, outside 0..10"},
  };
  for (const auto& c : cases) ExpectRefused(JoinLines(c.lines), c.reason);
}

TEST(WeightsFile, ALineThatIsNotANumberChangesNothing) {
  std::vector<std::string> lines = Lines(WeightsFileText(ExampleNet()));
  for (const char* bad : {"", "abc", "1,5", "1 2", "--1", "+-1", "1e", "1e+", ".", "-", "e5", "inf",
                          "nan", "0x10", "1.5.2", "1e400", "5 apples"}) {
    SCOPED_TRACE(bad);
    std::vector<std::string> damaged = lines;
    damaged[9] = bad;  // weight (1, 1, 1)
    ExpectRefused(JoinLines(damaged), "line 10 (weight (1, 1, 1)) does not hold a number");
  }
  lines[0] = "three";
  ExpectRefused(JoinLines(lines), "line 1 (the layer count) does not hold a number: \"three\"");
  lines[0] = "\x1b]0;owned\x07";
  ExpectRefused(JoinLines(lines),
                "line 1 (the layer count) does not hold a number: \"\\x1B]0;owned\\x07\"");
}

TEST(WeightsFile, WriterRefusesWhatItCouldNotReadBack) {
  const struct {
    void (*damage)(Workspace&);
    const char* reason;
  } cases[] = {
      {[](Workspace& ws) { ws.LayerCount = 11; }, "the layer count is 11, outside 0..10"},
      {[](Workspace& ws) { ws.LayerSizes(2) = 11; }, "the size of layer 2 is 11, outside 0..10"},
      {[](Workspace& ws) { ws.LayerCount = std::nan(""); },
       "the layer count is not a number, outside 0..10"},
      {[](Workspace& ws) { ws.Weights(1, 2, 1) = std::numeric_limits<double>::infinity(); },
       "weight (1, 2, 1) is not a finite number"},
      {[](Workspace& ws) { ws.OutputRangeHigh = std::nan(""); },
       "the output range's high end is not a finite number"},
  };
  testing::TempFolder folder;
  const auto path = folder / "net.wts";
  WriteTextFile(path, "old");
  for (const auto& c : cases) {
    Workspace ws = ExampleNet();
    c.damage(ws);
    try {
      WriteWeightsFile(ws, path);
      ADD_FAILURE() << c.reason;
    } catch (const FileError& error) {
      EXPECT_EQ(error.Reason(), c.reason);
      EXPECT_EQ(error.File(), path.string());
    }
    EXPECT_EQ(ReadTextFile(path), "old\r\n");
  }
}

TEST(WeightsFile, MessagesForCallersWithoutADialog) {
  testing::TempFolder folder;
  Workspace ws = ExampleNet();
  EXPECT_EQ(WriteWeightsFileOrMessage(ws, folder / "a.wts"), std::nullopt);
  Workspace back;
  EXPECT_EQ(ReadWeightsFileOrMessage(back, folder / "a.wts"), std::nullopt);
  EXPECT_EQ(NetState(back), NetState(ws));

  const auto missing = (folder / "missing.wts").string();
  EXPECT_EQ(ReadWeightsFileOrMessage(back, missing),
            "FILE NOT FOUND\n" + missing + ": cannot open: No such file or directory");
  const auto nowhere = (folder / "no-folder" / "a.wts").string();
  EXPECT_EQ(WriteWeightsFileOrMessage(ws, nowhere),
            "UNABLE TO SAVE FILE\n" + nowhere + ": cannot create: No such file or directory");

  WriteTextFile(folder / "short.wts", "2\r\n2");
  back.LayerCount = 7;
  EXPECT_EQ(ReadWeightsFileOrMessage(back, folder / "short.wts"),
            "FILE NOT FOUND\n" + (folder / "short.wts").string() +
                ": the file ends before line 3, which should hold the size of layer 2");
  EXPECT_EQ(back.LayerCount, 7);

  std::filesystem::resize_file(folder / "short.wts", kMaxWeightsFileBytes + 1);
  EXPECT_EQ(ReadWeightsFileOrMessage(back, folder / "short.wts"),
            "FILE NOT FOUND\n" + (folder / "short.wts").string() +
                ": is too large to read (65537 bytes; at most 65536)");
}

}  // namespace
}  // namespace backprop
