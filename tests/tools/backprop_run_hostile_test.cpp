// SPDX-License-Identifier: GPL-3.0-or-later
// The runner's outputs aimed where they must not go: each is refused with
// the reason and leaves what is there as it was, the others still written;
// two outputs that name one file, or an output that names a file the run
// reads, stop the run before it starts. And a summary of many sets.
#include <string>
#include <vector>

#include "engine/visible_text.h"
#include "tests/support/hostile_targets.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/run_fixture.h"

namespace backprop::testing {
namespace {

TEST_F(BackpropRunTest, OutputsOntoWhatTheyMustNotReplaceAreRefused) {
  Write("xor.pr1", kExclusiveOrProgram);
  Write("xor.ds1", kExclusiveOr);
  const char* kOutputs[] = {"--png", "--curve", "--map", "--save-weights"};
  for (const HostileTarget& h : HostileTargets()) {
    fs::remove_all(dir / "t");
    fs::create_directory(dir / "t");
    std::string args = "xor";
    std::vector<std::string> files;
    for (const char* option : kOutputs) {
      files.push_back(h.Make(dir / "t", option + 2).string());
      args += std::string(" ") + option + " '" + files.back() + "'";
    }
    const std::string before = FolderSnapshot(dir / "t");
    const RunResult result = Run(args);
    EXPECT_EQ(result.status, 1) << h.kind;
    for (const std::string& file : files) {
      const std::string line = VisibleText(file) + ": " + h.reason;
      EXPECT_NE(result.err.find(line), std::string::npos) << h.kind << ": " << result.err;
    }
    EXPECT_EQ(FolderSnapshot(dir / "t"), before) << h.kind;
    EXPECT_NE(result.out.find("Trial="), std::string::npos) << "the run itself ran";
  }
  const RunResult one = Run("xor --curve /proc/bp-test.csv --png ok.png");
  EXPECT_EQ(one.status, 1);
  EXPECT_TRUE(fs::is_regular_file(dir / "ok.png")) << "the other output is still written";
}

TEST_F(BackpropRunTest, OutputsThatNameOneFileOrAnInputStopBeforeTheRun) {
  Write("xor.pr1", kExclusiveOrProgram);
  Write("xor.ds1", kExclusiveOr);
  ASSERT_EQ(Run("xor --save-weights w.wts").status, 0);
  fs::create_directory(dir / "t");
  fs::create_symlink("../xor.pr1", dir / "t/link.png");
  fs::create_hard_link(dir / "xor.ds1", dir / "t/hard.csv");
  const struct {
    const char* args;
    const char* err;
  } cases[] = {
      {"--png t/o.png --map t/o.png", "--map t/o.png: the same file as --png t/o.png"},
      {"--png t/o.png --curve ./t/../t/o.png",
       "--curve ./t/../t/o.png: the same file as --png t/o.png"},
      {"--curve xor.pr1",
       "--curve xor.pr1: the same file as the set's xor.pr1, which the run reads"},
      {"--save-weights xor.ds1", "--save-weights xor.ds1: the same file as the set's xor.ds1"},
      {"--map t/link.png", "--map t/link.png: the same file as the set's xor.pr1"},
      {"--curve t/hard.csv", "--curve t/hard.csv: the same file as the set's xor.ds1"},
      {"--load-weights w.wts --png w.wts", "--png w.wts: the same file as --load-weights w.wts"},
      {"--summary --curve t/o.png --map t/o.png", "--map t/o.png: the same file as --curve"},
  };
  const auto snapshot = [this] {
    fs::remove(dir / "out.txt");
    fs::remove(dir / "err.txt");
    return FolderSnapshot(dir) + FolderSnapshot(dir / "t");
  };
  const std::string before = snapshot();
  for (const auto& c : cases) {
    const RunResult result = Run(std::string("xor ") + c.args);
    EXPECT_EQ(result.status, 1) << c.args;
    EXPECT_NE(result.err.find(c.err), std::string::npos) << c.args << ": " << result.err;
    EXPECT_EQ(result.out.find("Trial="), std::string::npos) << c.args << ": nothing runs";
    EXPECT_EQ(snapshot(), before) << c.args;
  }
  EXPECT_EQ(Run("xor --load-weights w.wts --save-weights ./w.wts").status, 0)
      << "--save-weights may update the weights file read";
}

TEST_F(BackpropRunTest, SummaryOfManySets) {
  Write("xor.pr1", std::string(kExclusiveOrProgram).insert(0, "TRAINMAX=3\r\n"));
  Write("xor.ds1", kExclusiveOr);
  std::string bases;
  for (int n = 0; n < 200; ++n) bases += " xor.pr1";
  const RunResult run = Run("--summary" + bases + " missing");
  EXPECT_EQ(run.status, 1) << "the missing set's status";
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 202u);
  EXPECT_EQ(lines[200], lines[1]);
  EXPECT_EQ(lines[201], "missing,1,0,,,,,");
}

}  // namespace
}  // namespace backprop::testing
