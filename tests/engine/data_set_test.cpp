// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/data_fields.h"
#include "engine/data_set.h"
#include "engine/engine_error.h"
#include "engine/workspace.h"
#include "tests/support/nets.h"

namespace backprop {
namespace {

std::vector<std::string> Fields(std::string_view text) {
  DataFieldReader reader(text);
  std::vector<std::string> fields;
  while (!reader.AtEnd()) fields.emplace_back(reader.Next());
  return fields;
}

TEST(DataFields, SplitAtCommasAndEveryKindOfLineEnd) {
  struct Case {
    const char* text;
    std::vector<std::string> fields;
  };
  const Case cases[] = {
      {"", {}},
      {"4\r\n-1,-1,-1\r\n", {"4", "-1", "-1", "-1"}},
      {"4\n-1,1\r1,2", {"4", "-1", "1", "1", "2"}},
      {" \t1,  2 ,3\t", {"1", "2", "3"}},
      {"1 2,0.5x", {"1 2", "0.5x"}},
      {"\"a,b\r\nc\"junk,2", {"a,b\r\nc", "2"}},
      {"  \"7\"  ,\"8\"x\r\n9", {"7", "8", "9"}},
      {"\"open", {"open"}},
      // Empty lines and lines of blanks hold no field ...
      {"1\r\n\r\n  \t\r\n2\n\n", {"1", "2"}},
      {"\r\n\r\n3", {"3"}},
      // ... but a comma always opens another field.
      {"1,,2", {"1", "", "2"}},
      {"1,\r\n2", {"1", "", "2"}},
      {"1,", {"1", ""}},
      {"1, \r\n", {"1", ""}},
  };
  for (const Case& c : cases) EXPECT_EQ(Fields(c.text), c.fields) << c.text;
}

// A 2-input, 1-output net with the start-up ranges -1..1.
class DataSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ApplyDefaults(ws);
    testing::SetGeometry(ws, {2, 2, 1});
    ws.RunMode = 1;
    ws.SelectedSet = 1;
  }
  void Load(const std::string& text, BufferId buffer = BufferId::TrainingDataD1) {
    ws.TextBuffer(buffer) = text;
    LoadDataSet(ws);
  }
  // The inputs and target of pattern p, as read.
  std::vector<double> Raw(int p) const {
    return {ws.RawInputs(1, p), ws.RawInputs(2, p), ws.RawTargets(1, p)};
  }
  std::vector<double> Scaled(int p) const {
    return {ws.ScaledInputs(1, p), ws.ScaledInputs(2, p), ws.ScaledTargets(1, p)};
  }

  Workspace ws;
};

TEST_F(DataSetTest, ExclusiveOrInLineAndOneLineForms) {
  const std::vector<std::vector<double>> expected = {
      {-1, -1, -1}, {-1, 1, 1}, {1, -1, 1}, {1, 1, -1}};
  for (const char* text :
       {"4\r\n-1,-1,-1\r\n-1,1,1\r\n1,-1,1\r\n1,1,-1\r\n", "4,-1,-1,-1,-1,1,1,1,-1,1,1,1,-1",
        "4\n-1,-1,-1\n-1,1,1\n1,-1,1\n1,1,-1", "4\r-1,-1,-1\r-1,1,1\r1,-1,1\r1,1,-1\r"}) {
    ws.LoadedSet = 0;
    Load(text);
    EXPECT_EQ(ws.PatternCount, 4) << text;
    EXPECT_EQ(ws.LoadedSet, 1);
    EXPECT_EQ(ws.CurrentLine, "-1") << "the last field read stays";
    for (int p = 1; p <= 4; ++p) {
      EXPECT_EQ(Raw(p), expected[p - 1]) << text << " pattern " << p;
      EXPECT_EQ(Scaled(p), expected[p - 1]) << "ranges -1..1 leave values as they are";
    }
  }
}

TEST_F(DataSetTest, ScalingUsesTheRangesInForce) {
  ws.InputRangeLow = 3;
  ws.InputRangeHigh = 88;
  ws.OutputRangeLow = -10;
  ws.OutputRangeHigh = 0;
  Load("3\r\n3,88,-10\r\n45.5,100,0\r\n0,3,-5");
  EXPECT_EQ(Scaled(1), (std::vector<double>{-1, 1, -1}));
  EXPECT_DOUBLE_EQ(ws.ScaledInputs(1, 2), 0.0);
  EXPECT_GT(ws.ScaledInputs(2, 2), 1.0) << "values outside the range are not clipped";
  EXPECT_DOUBLE_EQ(ws.ScaledTargets(1, 2), 1.0);
  EXPECT_DOUBLE_EQ(ws.ScaledTargets(1, 3), 0.0);
  EXPECT_EQ(Raw(2), (std::vector<double>{45.5, 100, 0}));
}

TEST_F(DataSetTest, FieldsReadTheirLeadingNumber) {
  Load("1\r\n1 2, 0.5x ,\"-3\"");
  EXPECT_EQ(Raw(1), (std::vector<double>{12, 0.5, -3}));
  Load("1\r\nabc,,1e2");
  EXPECT_EQ(Raw(1), (std::vector<double>{0, 0, 100}));
}

TEST_F(DataSetTest, MissingFieldsRepeatTheLastFieldRead) {
  Load("2\r\n1,2,3");
  EXPECT_EQ(Raw(1), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(Raw(2), (std::vector<double>{3, 3, 3}));
  Load("2");
  EXPECT_EQ(Raw(2), (std::vector<double>{2, 2, 2})) << "even the count repeats";
  Load("2\r\n5,6,7\r\n\r\n\r\n");
  EXPECT_EQ(Raw(2), (std::vector<double>{7, 7, 7})) << "trailing empty lines hold no field";
}

TEST_F(DataSetTest, CountsThatLoadFewOrNoPatterns) {
  Load("2\r\n1,1,1\r\n2,2,2");
  struct Case {
    const char* text;
    double count;
  };
  for (const Case& c :
       {Case{"0\r\n9,9,9", 0}, Case{"-3\r\n9,9,9", -3}, Case{"", 0}, Case{"x", 0}}) {
    Load(c.text);
    EXPECT_EQ(ws.PatternCount, c.count) << c.text;
    EXPECT_EQ(Raw(1), (std::vector<double>{1, 1, 1})) << "tables keep older values";
  }
  Load("2.7\r\n5,5,5\r\n6,6,6\r\n7,7,7");
  EXPECT_DOUBLE_EQ(ws.PatternCount, 2.7);
  EXPECT_EQ(Raw(2), (std::vector<double>{6, 6, 6}));
  EXPECT_EQ(ws.RawInputs(1, 3), 0) << "a fractional count loads its whole part";
}

TEST_F(DataSetTest, SetNumberChoosesTheText) {
  ws.TextBuffer(BufferId::TrainingDataD1) = "1\r\n1,1,1";
  ws.TextBuffer(BufferId::TrainingDataD2) = "1\r\n2,2,2";
  ws.TextBuffer(BufferId::TestSetT1) = "1\r\n4,4,4";
  for (double set : {1.0, 2.0, 4.0}) {
    ws.SelectedSet = set;
    LoadDataSet(ws);
    EXPECT_EQ(ws.RawInputs(1, 1), set);
    EXPECT_EQ(ws.RawTargets(1, 1), set) << "outside step mode 4 the test set has targets";
  }
  for (double set : {3.0, 0.0, 1.5}) {
    ws.SelectedSet = set;
    LoadDataSet(ws);
    EXPECT_EQ(ws.PatternCount, 0) << set;
    EXPECT_EQ(ws.LoadedSet, set);
  }
}

TEST_F(DataSetTest, TestSetSteppingReadsInputsOnly) {
  ws.RunMode = 4;
  ws.SelectedSet = 4;
  ws.RawTargets(1, 2) = 42;
  Load("4\r\n1,2\r\n3,4\r\n5,6\r\n7,8", BufferId::TestSetT1);
  EXPECT_EQ(ws.PatternCount, 4);
  for (int p = 1; p <= 4; ++p) {
    EXPECT_EQ(ws.RawInputs(1, p), 2 * p - 1);
    EXPECT_EQ(ws.RawInputs(2, p), 2 * p);
  }
  EXPECT_EQ(ws.RawTargets(1, 2), 42) << "targets are left alone";
}

TEST_F(DataSetTest, ThreeHundredPatternsFitAndMoreIsAnErrorBeforeAnythingIsStored) {
  std::string text = "300";
  for (int p = 1; p <= 300; ++p) text += "\r\n" + std::to_string(p % 2) + ",0,1";
  Load(text);
  EXPECT_EQ(ws.PatternCount, 300);
  EXPECT_EQ(ws.RawInputs(1, 299), 1);

  ws.LoadedSet = 0;
  ws.TextBuffer(BufferId::TrainingDataD1) = "301\r\n7,7,7";
  EXPECT_THROW(LoadDataSet(ws), EngineError);
  EXPECT_EQ(ws.PatternCount, 300);
  EXPECT_EQ(ws.LoadedSet, 0);
  EXPECT_EQ(ws.RawInputs(1, 1), 1);
}

TEST_F(DataSetTest, RunErrors) {
  struct Case {
    const char* what;
    std::function<void(Workspace&)> setUp;
    const char* text;
  };
  const Case cases[] = {
      {"equal input range ends", [](Workspace& w) { w.InputRangeHigh = -1; }, "1\r\n1,1,1"},
      {"equal output range ends", [](Workspace& w) { w.OutputRangeLow = 1; }, "1\r\n1,1,1"},
      {"a number too large", [](Workspace&) {}, "1\r\n1e999,1,1"},
      {"a count too large", [](Workspace&) {}, "1e400"},
      {"a scaled value overflows",
       [](Workspace& w) {
         w.InputRangeLow = 0;
         w.InputRangeHigh = 1e-300;
       },
       "1\r\n1e300,1,1"},
      {"an input layer beyond the tables", [](Workspace& w) { w.LayerSizes(1) = 11; },
       "1\r\n1,1,1"},
      {"a last layer beyond the tables", [](Workspace& w) { w.LayerCount = 11; }, "1\r\n1"},
  };
  for (const Case& c : cases) {
    Workspace fresh;
    ws = fresh;
    SetUp();
    c.setUp(ws);
    ws.TextBuffer(BufferId::TrainingDataD1) = c.text;
    EXPECT_THROW(LoadDataSet(ws), EngineError) << c.what;
    EXPECT_FALSE(ws.PatternCount.IsSet()) << c.what << ": nothing is stored";
    EXPECT_FALSE(ws.LoadedSet.IsSet()) << c.what;
  }
}

// Texts of 10 MB: a blank tail, a long field, an unclosed quote. The load
// reads each character once (make bench shows the time); here, the result.
TEST_F(DataSetTest, TenMegabyteTextsLoadWhatTheyHold) {
  const std::size_t size = 10 << 20;
  std::string tail;
  while (tail.size() < size) tail += " \t\r\n\n  \r";
  const struct {
    std::string text;
    std::vector<double> second;  // pattern 2 as read
  } cases[] = {
      {"2\r\n1,-1,0.5" + tail, {0.5, 0.5, 0.5}},
      {"2\r\n1,-1," + std::string(size, '0') + "7,3" + tail, {3, 3, 3}},
      {"2\r\n1,-1,\"" + std::string(size, ','), {0, 0, 0}},
  };
  for (const auto& c : cases) {
    Load(c.text);
    EXPECT_EQ(ws.PatternCount, 2);
    EXPECT_EQ(Raw(2), c.second);
  }
}

TEST_F(DataSetTest, AnEmptySetNeedsNoRangeOrGeometry) {
  ws.InputRangeHigh = ws.InputRangeLow;
  ws.LayerSizes(1) = 11;
  Load("0");
  EXPECT_EQ(ws.PatternCount, 0);
}

}  // namespace
}  // namespace backprop
