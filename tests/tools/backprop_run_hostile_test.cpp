// The runner's outputs aimed where they must not go: each is refused with
// the reason and leaves what is there as it was, the others still written;
// two outputs that name one file, or an output that names a file the run
// reads, stop the run before it starts. And a summary of many sets.
#include <sys/stat.h>

#include <functional>

#include "engine/visible_text.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/run_fixture.h"

namespace backprop::testing {
namespace {

TEST_F(BackpropRunTest, OutputsOntoWhatTheyMustNotReplaceAreRefused) {
  Write("xor.pr1", kExclusiveOrProgram);
  Write("xor.ds1", kExclusiveOr);
  const char* kOutputs[] = {"--png", "--curve", "--map", "--save-weights"};
  const struct {
    const char* kind;
    std::string name;  // of each output's file in t/
    std::function<void(const fs::path&)> make;
    const char* reason;
  } hostile[] = {
      {"folder", "o", [](const fs::path& p) { fs::create_directory(p); },
       "is a folder, not a file"},
      {"FIFO", "o", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
       "is a pipe (FIFO), not a regular file"},
      {"device", "o", [](const fs::path& p) { fs::create_symlink("/dev/null", p); },
       "is a device, not a regular file"},
      {"dangling link", "o", [](const fs::path& p) { fs::create_symlink("gone", p); },
       "is a symbolic link to nothing"},
      {"link loop", "o", [](const fs::path& p) { fs::create_symlink(p.filename(), p); },
       "is a symbolic link that leads round in a loop"},
      {"line break", "a\nb", [](const fs::path&) {},
       "has a line break or another control character in its name"},
  };
  for (const auto& h : hostile) {
    fs::remove_all(dir / "t");
    fs::create_directory(dir / "t");
    std::string args = "xor";
    for (const char* option : kOutputs) {
      const std::string file = "t/" + h.name + (option + 2);
      h.make(dir / file);
      args += std::string(" ") + option + " '" + file + "'";
    }
    const std::string before = FolderSnapshot(dir / "t");
    const RunResult result = Run(args);
    EXPECT_EQ(result.status, 1) << h.kind;
    for (const char* option : kOutputs) {
      const std::string line = "t/" + VisibleText(h.name) + (option + 2) + ": " + h.reason;
      EXPECT_NE(result.err.find(line), std::string::npos) << h.kind << ": " << result.err;
    }
    EXPECT_EQ(FolderSnapshot(dir / "t"), before) << h.kind;
    EXPECT_NE(result.out.find("Trial="), std::string::npos) << "the run itself ran";
  }
  const RunResult proc = Run("xor --curve /proc/bp-h24b.csv --png ok.png");
  EXPECT_EQ(proc.status, 1);
  EXPECT_NE(proc.err.find("/proc/bp-h24b.csv: cannot"), std::string::npos) << proc.err;
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
