// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tools/backprop_run/run_options.h"

namespace backprop {
namespace {

TEST(RunOptions, ReadsBaseProgramAndPicture) {
  struct Case {
    std::vector<std::string> args;
    std::string base;
    int program;
    std::string png;
    bool help;
  };
  const Case cases[] = {
      {{"xor"}, "xor", 1, "", false},
      {{"xor", "--program", "2"}, "xor", 2, "", false},
      {{"--program=1", "dir/xor"}, "dir/xor", 1, "", false},
      {{"xor", "--png", "out.png"}, "xor", 1, "out.png", false},
      {{"--png=a b.png", "xor", "--program", "2"}, "xor", 2, "a b.png", false},
      {{"--help"}, "", 1, "", true},
      {{"xor", "--help"}, "xor", 1, "", true},
  };
  for (const Case& c : cases) {
    const RunOptions options = ParseRunOptions(c.args);
    EXPECT_EQ(options.base, c.base);
    EXPECT_EQ(options.program, c.program);
    EXPECT_EQ(options.pngFile, c.png);
    EXPECT_EQ(options.help, c.help);
  }
}

TEST(RunOptions, UsageErrorsSayWhatIsWrong) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{}, "no base name given"},
      {{"a", "b"}, "more than one base name: \"b\""},
      {{"xor", "--program", "3"}, "--program takes 1 or 2, not \"3\""},
      {{"xor", "--program"}, "--program needs a value (1|2)"},
      {{"xor", "--png"}, "--png needs a value (FILE)"},
      {{"xor", "--png="}, "--png needs a file name"},
      {{"xor", "--verbose"}, "unknown option --verbose"},
      {{"xor", "--help=yes"}, "--help takes no value"},
      {{"xor", "--png", "a.png", "--png", "b.png"}, "--png is given more than once"},
      {{"xor", "--fit"}, "--fit needs --png"},
      {{"xor", "--png-size", "800x600"}, "--png-size needs --png"},
      {{"xor", "--map-neurode", "2:1"}, "--map-neurode needs --map"},
      {{"xor", "--png=a.png", "--png-size", "63x800"},
       "--png-size takes WxH, a width and a height from 64 to 8192 pixels such as 1280x800, not "
       "\"63x800\""},
      {{"xor", "--png=a.png", "--png-size=1280*800"},
       "--png-size takes WxH, a width and a height from 64 to 8192 pixels such as 1280x800, not "
       "\"1280*800\""},
      {{"xor", "--map=m.png", "--map-neurode=3:11"},
       "--map-neurode takes K:J, a layer K from 2 to 10 and a neurode J from 1 to 10, not "
       "\"3:11\""},
      {{"xor", "--map=m.png", "--map-neurode=3:one"},
       "--map-neurode takes K:J, a layer K from 2 to 10 and a neurode J from 1 to 10, not "
       "\"3:one\""},
      {{"xor", "--test", "3"}, "--test takes 2 (D2) or 4 (T1), not \"3\""},
      {{"xor", "--test", std::string(50, '9')},
       "--test takes 2 (D2) or 4 (T1), not \"9999999999999999999999999999999999999999...\""},
      {{"xor", "--test", "2", "--test", "2"}, "--test is given more than once"},
      {{"--summary", "x", "--summary"}, "--summary is given more than once"},
      {{"--summary", "a", "b", "--curve", "c.csv"}, "--curve takes one base name, not 2"},
      {{"xor", "--check", "--summary"}, "--check and --summary do not go together"},
  };
  for (const Case& c : cases) {
    try {
      ParseRunOptions(c.args);
      ADD_FAILURE() << "accepted: " << c.message;
    } catch (const UsageError& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
}

// Out-of-range, non-numeric, huge and repeated values of the newer options:
// each a usage error naming its option, never a value taken in part.
TEST(RunOptions, HostileValuesAreUsageErrors) {
  const std::string huge(100000, '9');
  const struct {
    std::vector<std::string> args;
    const char* start;
  } cases[] = {
      {{"x", "--png=a", "--png-size", "0x0"}, "--png-size takes"},
      {{"x", "--png=a", "--png-size", "-64x64"}, "--png-size takes"},
      {{"x", "--png=a", "--png-size", "8193x64"}, "--png-size takes"},
      {{"x", "--png=a", "--png-size", "64x64x64"}, "--png-size takes"},
      {{"x", "--png=a", "--png-size", " 64x64"}, "--png-size takes"},
      {{"x", "--png=a", "--png-size", "1e3x800"}, "--png-size takes"},
      {{"x", "--png=a", "--png-size", huge + "x64"}, "--png-size takes"},
      {{"x", "--png=a", "--png-size=64x64", "--png-size=64x64"}, "--png-size is given more"},
      {{"x", "--map=m", "--map-neurode", "1:1"}, "--map-neurode takes"},
      {{"x", "--map=m", "--map-neurode", "2:0"}, "--map-neurode takes"},
      {{"x", "--map=m", "--map-neurode", "2:-1"}, "--map-neurode takes"},
      {{"x", "--map=m", "--map-neurode", "2:1:1"}, "--map-neurode takes"},
      {{"x", "--map=m", "--map-neurode", huge + ":1"}, "--map-neurode takes"},
      {{"x", "--explain", "0:1"}, "--explain takes"},
      {{"x", "--explain", "1:0"}, "--explain takes"},
      {{"x", "--explain", "1:-1"}, "--explain takes"},
      {{"x", "--explain", "1:1e3"}, "--explain takes"},
      {{"x", "--explain", "1"}, "--explain takes"},
      {{"x", "--explain", "1:" + huge}, "--explain takes"},
      {{"x", "--explain=1:1", "--explain=2:1"}, "--explain is given more"},
      {{"x", "--test", "nan"}, "--test takes"},
      {{"x", "--test", "2.0"}, "--test takes"},
      {{"x", "--test", ""}, "--test takes"},
      {{"x", "--test=2", "--test=4"}, "--test is given more"},
      {{"x", "--check", "--check"}, "--check is given more"},
      {{"x", "--check=1"}, "--check takes no value"},
      {{"x", "--summary=1"}, "--summary takes no value"},
      {{"a", "b", "--png", "--summary"}, "more than one base name: \"b\""},
      {{"x", "--" + huge}, "unknown option --999"},
  };
  for (const auto& c : cases) {
    try {
      ParseRunOptions(c.args);
      ADD_FAILURE() << "accepted: " << c.args.back().substr(0, 40);
    } catch (const UsageError& error) {
      EXPECT_EQ(std::string(error.what()).substr(0, std::string(c.start).size()), c.start);
      EXPECT_LT(std::string(error.what()).size(), 300u) << "a huge value is quoted short";
    }
  }
}

TEST(RunOptions, ReadsThePicturesShape) {
  const RunOptions plain = ParseRunOptions({"xor", "--png", "a.png", "--map", "m.png"});
  EXPECT_EQ(std::pair(plain.pngWidth, plain.pngHeight), std::pair(1280, 800));
  EXPECT_FALSE(plain.fit || plain.neurodeMaps);
  EXPECT_EQ(std::pair(plain.mapLayer, plain.mapNeurode), std::pair(0, 1)) << "output neurode 1";
  const RunOptions shaped =
      ParseRunOptions({"xor", "--png=a.png", "--png-size", "64x8192", "--fit", "--neurode-maps",
                       "--map=m.png", "--map-neurode", "10:3"});
  EXPECT_EQ(std::pair(shaped.pngWidth, shaped.pngHeight), std::pair(64, 8192));
  EXPECT_TRUE(shaped.fit && shaped.neurodeMaps);
  EXPECT_EQ(std::pair(shaped.mapLayer, shaped.mapNeurode), std::pair(10, 3));
}

TEST(RunOptions, SummaryTakesSeveralSetsWithOrWithoutTheProgramExtension) {
  const RunOptions options = ParseRunOptions({"--summary", "a/x.pr1", "b", "--test", "4", "c.pr1"});
  EXPECT_EQ(options.bases, (std::vector<std::string>{"a/x", "b", "c"}));
  EXPECT_EQ(options.base, "a/x");
  EXPECT_EQ(options.testSet, 4);
  EXPECT_EQ(ParseRunOptions({"x.pr1"}).base, "x.pr1") << "without a summary the name is as given";
}

TEST(RunOptions, HelpListsEveryOption) {
  const std::string text = UsageText();
  for (const OptionRow& row : RunOptionTable()) {
    EXPECT_NE(text.find(std::string(row.name)), std::string::npos) << row.name;
  }
  EXPECT_NE(text.find("UNABLE TO EXECUTE TASK"), std::string::npos);
}

}  // namespace
}  // namespace backprop
