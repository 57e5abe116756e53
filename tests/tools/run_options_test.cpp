#include <gtest/gtest.h>

#include <string>
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
      {{"xor", "--test", "3"}, "--test takes 2 (D2) or 4 (T1), not \"3\""},
      {{"xor", "--test", std::string(50, '9')},
       "--test takes 2 (D2) or 4 (T1), not \"9999999999999999999999999999999999999999...\""},
      {{"xor", "--test", "2", "--test", "2"}, "--test is given more than once"},
      {{"--summary", "x", "--summary"}, "--summary is given more than once"},
      {{"--summary", "a", "b", "--curve", "c.csv"}, "--curve takes one base name, not 2"},
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
