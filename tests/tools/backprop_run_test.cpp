#include <QImage>
#include <QString>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/nets.h"

// End-to-end runs of the built backprop-run on file sets in a temporary
// folder, checking standard output, standard error and the exit status.

namespace {

namespace fs = std::filesystem;

constexpr const char* kExclusiveOr = backprop::testing::kExclusiveOrSet;
constexpr const char* kExclusiveOrProgram =
    "NETLIST=3,2,2,1\r\nBIASLIST=1,1,0\r\nFUNCTION=2\r\nINITW=2\r\nTRAIN=1\r\n";

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class BackpropRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The process id keeps runs of the suite from different builds apart.
    dir = fs::temp_directory_path() /
          ("backprop_run_test_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
  }
  // Runs backprop-run with `args` (shell words) in the temporary folder,
  // standard output going where `out` (a redirection) sends it.
  RunResult Run(const std::string& args, const std::string& out = "> out.txt") {
    const std::string command = "cd '" + dir.string() + "' && '" BACKPROP_RUN_EXE "' " + args +
                                " " + out + " 2> err.txt < /dev/null";
    const int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadFile(dir / "out.txt");
    result.err = ReadFile(dir / "err.txt");
    return result;
  }

  fs::path dir;
};

// The lines of a training run: per cycle "Trial= n" and "Error= e", the net's
// labels before cycles that redraw (every tenth) and after the run.
void ExpectTrainingTranscript(const std::vector<std::string>& lines, int& cycles,
                              std::string& lastError) {
  const std::regex error(R"(Error= \d*\.\d{0,6})");
  std::size_t n = 0;
  cycles = 0;
  while (n + 2 < lines.size()) {
    const int cycle = cycles + 1;
    if (cycle % 10 == 0) {
      ASSERT_EQ(lines[n], "Bias") << "line " << n;
      ASSERT_EQ(lines[n + 1], "Active") << "line " << n;
      n += 2;
    }
    ASSERT_EQ(lines[n], "Trial= " + std::to_string(cycle)) << "line " << n;
    ASSERT_TRUE(std::regex_match(lines[n + 1], error)) << lines[n + 1];
    lastError = lines[n + 1];
    cycles = cycle;
    n += 2;
  }
  ASSERT_EQ(lines.size(), n + 2);
  EXPECT_EQ(lines[n], "Bias") << "the closing redraw";
  EXPECT_EQ(lines[n + 1], "Active");
}

TEST_F(BackpropRunTest, ExclusiveOrReportsEveryCycleUntilTheLimit) {
  Write("xor.pr1", kExclusiveOrProgram);
  Write("xor.ds1", kExclusiveOr);
  const RunResult result = Run("xor");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  const std::vector<std::string> lines = Lines(result.out);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Trial= 1");
  EXPECT_EQ(lines[1], "Error= 4.967233");
  int cycles = 0;
  std::string lastError;
  ExpectTrainingTranscript(lines, cycles, lastError);
  EXPECT_EQ(cycles, 999) << "this seed and rate do not reach the threshold";
  EXPECT_EQ(lastError, "Error= .009473");
}

TEST_F(BackpropRunTest, ExclusiveOrStopsBelowTheThreshold) {
  Write("xor.pr1", std::string(kExclusiveOrProgram).insert(0, "EPSILON=.7\r\n"));
  Write("xor.ds1", kExclusiveOr);
  const RunResult result = Run("xor");
  EXPECT_EQ(result.status, 0);
  int cycles = 0;
  std::string lastError;
  ExpectTrainingTranscript(Lines(result.out), cycles, lastError);
  EXPECT_EQ(cycles, 567);
  EXPECT_EQ(lastError, "Error= .000999");
}

TEST_F(BackpropRunTest, TooManyPatternsIsARunError) {
  Write("big.pr1", kExclusiveOrProgram);
  Write("big.ds1", "301\r\n1,1,1\r\n");
  const RunResult result = Run("big");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "UNABLE TO EXECUTE TASK\nTASK HAS BEEN TERMINATED\n"
            "Line 5 (TRAIN=1): the data set has more than 300 patterns\n");
}

TEST_F(BackpropRunTest, SteppingPrintsOneLinePerValue) {
  Write("s.pr2", "NETLIST=3,2,2,1\r\nBIASLIST=1,1,0\r\nINITW=3\r\nSTEP=1\r\n");
  Write("s.ds1", kExclusiveOr);
  const RunResult result = Run("s --program 2");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            " -1.00\n -1.00\nOUT          DESIRED\n 1.00\n -1.00\n -1.00\n 1.00\n 0.00\n 0.00\n"
            " 0.00\n 0.00\n-1.00\n-1.00\nSTEP  1  OF  4 . TRAINING DATA SET 1\n");
  EXPECT_EQ(Run("s").out, "Bias\nActive\n") << "Program S1 is empty: only the closing redraw";
}

TEST_F(BackpropRunTest, PngHoldsTheFinalDrawing) {
  Write("xor.pr1", kExclusiveOrProgram);
  Write("xor.ds1", kExclusiveOr);
  const RunResult plain = Run("xor");
  const RunResult pictured = Run("xor --png net.png");
  EXPECT_EQ(pictured.status, 0);
  EXPECT_EQ(pictured.out, plain.out) << "the picture does not change the text";
  const std::string png = ReadFile(dir / "net.png");
  ASSERT_GT(png.size(), 1000u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

// One output failing, or standard output failing (a full disk, a pipe
// nobody reads), exits 1 with a message and still writes the other outputs.
TEST_F(BackpropRunTest, EachOutputIsWrittenOnItsOwnAndAnyFailureExitsOne) {
  Write("xor.pr1", kExclusiveOrProgram);
  Write("xor.ds1", kExclusiveOr);
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  ASSERT_LT(pipeEnds[1], 10) << "the shell redirects single-digit descriptors only";
  close(pipeEnds[0]);
  const struct {
    std::string args;
    std::string out;
    const char* err;
  } cases[] = {
      {"--png no/such/dir/net.png", "> out.txt",
       "UNABLE TO SAVE FILE\nno/such/dir/net.png: cannot create: No such file or directory"},
      {"--png net.png", "> /dev/full", "cannot write standard output"},
      {"--png net.png", ">&" + std::to_string(pipeEnds[1]), "cannot write standard output"},
  };
  for (const auto& c : cases) {
    fs::remove(dir / "w.wts");
    const RunResult result = Run("xor --save-weights w.wts " + c.args, c.out);
    EXPECT_EQ(result.status, 1) << c.args << c.out;
    EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    EXPECT_EQ(Lines(ReadFile(dir / "w.wts")).size(), 22u) << c.out << ": the weights are saved";
  }
  close(pipeEnds[1]);
}

// True when some pixel within `reach` of the user point (x, y) of the net's
// drawing coordinates (x 0..11, y -1..10) is not the white background.
bool InkNear(const QImage& image, double x, double y, int reach) {
  const int px = static_cast<int>(x / 11.0 * image.width());
  const int py = static_cast<int>((y + 1.0) / 11.0 * image.height());
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      const QPoint at(px + dx, py + dy);
      if (image.valid(at) && image.pixel(at) != qRgb(255, 255, 255)) return true;
    }
  }
  return false;
}

TEST_F(BackpropRunTest, PngOfASteppingRunShowsItsValuesOverTheNet) {
  // The window shows the net before a run; a run that only steps writes its
  // values over that drawing, in the net's coordinates.
  Write("s.pr1", "NETLIST=3,2,2,1\r\nBIASLIST=1,1,0\r\nINITW=3\r\nSTEP=1\r\n");
  Write("s.ds1", kExclusiveOr);
  const RunResult result = Run("s --png step.png");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, Run("s").out) << "the picture adds nothing to the text";
  const QImage image(QString::fromStdString((dir / "step.png").string()));
  ASSERT_FALSE(image.isNull());
  EXPECT_TRUE(InkNear(image, 2, 2.1, 2)) << "the circle of neurode 2 of layer 2";
  EXPECT_TRUE(InkNear(image, 8, 0.5, 3)) << "the dotted divider";
  EXPECT_TRUE(InkNear(image, 4.15, 9.1, 4)) << "the footer, at x 4, y 9";
}

TEST_F(BackpropRunTest, WeightsAreSavedAfterTheRunAndLoadedBeforeIt) {
  Write("xor.pr1", std::string(kExclusiveOrProgram).insert(0, "EPSILON=.7\r\n"));
  Write("xor.pr2", "DISPLAY\r\n");
  Write("xor.ds1", kExclusiveOr);
  ASSERT_EQ(Run("xor --save-weights trained.wts").status, 0);
  const std::string trained = ReadFile(dir / "trained.wts");
  EXPECT_EQ(Lines(trained).size(), 22u) << "3 layers of 2, 2, 1: 1 + 3 + 3 + 9 + 6 lines";
  EXPECT_EQ(trained.substr(0, 15), "3\r\n2\r\n2\r\n1\r\n1\r\n");

  // Program S2 only draws; the loaded net goes through unchanged.
  const RunResult copied = Run("xor --program 2 --load-weights trained.wts --save-weights copy.wts");
  EXPECT_EQ(copied.status, 0) << copied.err;
  EXPECT_EQ(ReadFile(dir / "copy.wts"), trained);
}

TEST_F(BackpropRunTest, WeightsFileErrorsStopWithTheDialogsMessages) {
  Write("xor.pr1", kExclusiveOrProgram);
  Write("xor.ds1", kExclusiveOr);
  Write("short.wts", "3\r\n2\r\n");

  for (const char* file : {"missing.wts", "short.wts"}) {
    const RunResult result = Run(std::string("xor --load-weights ") + file);
    EXPECT_EQ(result.status, 1) << file;
    EXPECT_EQ(result.err.substr(0, 28), "backprop-run: FILE NOT FOUND") << file;
    EXPECT_EQ(result.out, "") << file << ": nothing runs";
  }

  const RunResult unsaved = Run("xor --save-weights no/such/dir/w.wts");
  EXPECT_EQ(unsaved.status, 1);
  EXPECT_EQ(unsaved.err.substr(0, 33), "backprop-run: UNABLE TO SAVE FILE");

  Write("big.pr1", kExclusiveOrProgram);
  Write("big.ds1", "301\r\n1,1,1\r\n");
  Write("kept.wts", "old");
  EXPECT_EQ(Run("big --save-weights kept.wts").status, 2);
  EXPECT_EQ(ReadFile(dir / "kept.wts"), "old") << "a failed run saves nothing";
}

TEST_F(BackpropRunTest, UsageAndFileErrors) {
  struct Case {
    const char* args;
    int status;
    const char* errStart;
  };
  const Case cases[] = {
      {"", 1, "backprop-run: no base name given\nTry 'backprop-run --help'."},
      {"xor --program 3", 1, "backprop-run: --program takes 1 or 2"},
      {"missing", 1, "backprop-run: no file of the set missing exists"},
      {"--help", 0, ""},
  };
  for (const Case& c : cases) {
    const RunResult result = Run(c.args);
    EXPECT_EQ(result.status, c.status) << c.args;
    EXPECT_EQ(result.err.substr(0, std::string(c.errStart).size()), c.errStart) << c.args;
  }
  EXPECT_EQ(Run("--help").out.substr(0, 27), "Usage: backprop-run BASE [o");
}

}  // namespace
