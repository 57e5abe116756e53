// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end runs of the built backprop-run on file sets in a temporary
// folder, checking standard output, standard error and the exit status.
#include <unistd.h>
#include <QImage>
#include <QString>

#include <algorithm>
#include <cmath>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "engine/net_evaluation.h"
#include "engine/number_text.h"
#include "engine/workspace.h"
#include "files/weights_file.h"
#include "tests/tools/run_fixture.h"

namespace {

using namespace backprop::testing;

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
  // The check foresees the run error; its warning comes before the run.
  EXPECT_EQ(result.err,
            "warning: big.ds1 line 1: declares 301 patterns; at most 300 fit, so the run would "
            "stop here\n"
            "UNABLE TO EXECUTE TASK\nTASK HAS BEEN TERMINATED\n"
            "Line 5 (TRAIN=1): the data set has more than 300 patterns\n");
}

// The checks warn and never change a run: --check prints the warnings and
// runs nothing; a run writes them to standard error first, and its output
// is what it is without them.
TEST_F(BackpropRunTest, ChecksWarnWithoutChangingTheRun) {
  Write("xor.pr1", kExclusiveOrProgram);
  Write("xor.ds1", kExclusiveOr);
  Write("typo.pr1", std::string("EPSILN=.5\r\n") + kExclusiveOrProgram);
  Write("typo.ds1", kExclusiveOr);
  const RunResult check = Run("typo --check --save-weights w.wts");
  EXPECT_EQ(check.status, 3);
  EXPECT_EQ(check.out, "warning: typo.pr1 line 1: EPSILN: not a keyword; did you mean EPSILON?\n");
  EXPECT_EQ(check.err, "");
  EXPECT_FALSE(fs::exists(dir / "w.wts")) << "nothing ran";
  const RunResult run = Run("typo");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, check.out);
  EXPECT_EQ(run.out, Run("xor").out);

  const std::string demo = "'" BACKPROP_DEMO_DIR "/Demo'";
  const RunResult demoCheck = Run(demo + " --check");
  EXPECT_EQ(demoCheck.status, 0);
  EXPECT_EQ(demoCheck.out + demoCheck.err, "");
  const RunResult demoRun = Run(demo);
  EXPECT_EQ(demoRun.status, 0);
  EXPECT_EQ(demoRun.err, "");
  EXPECT_EQ(Lines(demoRun.out).front(), "Trial= 1");
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

TEST_F(BackpropRunTest, WeightsAreSavedAfterTheRunAndLoadedBeforeIt) {
  Write("xor.pr1", std::string(kExclusiveOrProgram).insert(0, "EPSILON=.7\r\n"));
  Write("xor.pr2", "DISPLAY\r\n");
  Write("xor.ds1", kExclusiveOr);
  ASSERT_EQ(Run("xor --save-weights trained.wts").status, 0);
  const std::string trained = ReadFile(dir / "trained.wts");
  EXPECT_EQ(Lines(trained).size(), 22u) << "3 layers of 2, 2, 1: 1 + 3 + 3 + 9 + 6 lines";
  EXPECT_EQ(trained.substr(0, 15), "3\r\n2\r\n2\r\n1\r\n1\r\n");

  // Program S2 only draws; the loaded net goes through unchanged.
  const RunResult copied =
      Run("xor --program 2 --load-weights trained.wts --save-weights copy.wts");
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

// --curve keeps what the report prints, at full precision; --map is the
// trained net's sign in colour.
TEST_F(BackpropRunTest, CurveIsTheReportAndMapIsTheNetsSign) {
  Write("X.pr1", std::string("ERRTEST=0\r\nTRAINMAX=40\r\n") + kExclusiveOrProgram +
                     "TRAINMAX=30\r\nTRAIN=1\r\n");
  Write("X.ds1", kExclusiveOr);
  const RunResult run = Run("X --curve c.csv --map m.png --save-weights w.wts");
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> printed;
  for (const std::string& line : Lines(run.out)) {
    if (line.rfind("Error=", 0) == 0) printed.push_back(line);
  }
  const std::vector<std::string> rows = Lines(ReadFile(dir / "c.csv"));
  ASSERT_EQ(rows.size(), 1 + printed.size());
  EXPECT_EQ(rows[0], "train,trial,error");
  ASSERT_EQ(printed.size(), 39u + 29u);
  for (std::size_t n = 1; n < rows.size(); ++n) {
    const std::size_t comma = rows[n].rfind(',');
    const std::string expectedStart =
        n <= 39 ? "1," + std::to_string(n) + "," : "2," + std::to_string(n - 39) + ",";
    EXPECT_EQ(rows[n].substr(0, comma + 1), expectedStart);
    const double error = std::stod(rows[n].substr(comma + 1));
    std::string shown = "Error=" + backprop::FormatPattern(error, " ##.######");
    shown.erase(shown.find_last_not_of(' ') + 1);
    EXPECT_EQ(printed[n - 1], shown);
  }

  backprop::Workspace ws;
  ApplyDefaults(ws);
  backprop::ReadWeightsFile(ws, dir / "w.wts");
  const QImage map(QString::fromStdString((dir / "m.png").string()));
  ASSERT_EQ(map.size(), QSize(100, 100));
  const backprop::NetEvaluator net(ws);
  int checked = 0;
  for (int y = 0; y < 100; y += 9) {
    for (int x = 0; x < 100; x += 9) {
      const double inputs[2] = {-1 + 2.0 * x / 99, 1 - 2.0 * y / 99};
      const double out = net.Output(inputs, 1);
      const QColor c = map.pixelColor(x, y);
      if (out < -0.02) {
        EXPECT_TRUE(c.red() == 255 && c.blue() < 255) << x << "," << y;
      }
      if (out > 0.02) {
        EXPECT_TRUE(c.blue() == 255 && c.red() < 255) << x << "," << y;
      }
      checked += std::abs(out) > 0.02;
    }
  }
  EXPECT_GT(checked, 100);
}

// --explain against the forward pass and back-propagation worked out by
// hand for a 2-2-1 net with known weights, pattern 2: inputs -1, 1, target 1.
TEST_F(BackpropRunTest, ExplainIsTheHandCalculation) {
  // w1[i][j]: from neurode i of layer 1 (0 the bias) to j of layer 2.
  const double w1[3][3] = {{0, 0.1, -0.2}, {0, 0.3, 0.4}, {0, -0.5, 0.6}};
  const double w2[3] = {0.25, -0.7, 0.8};  // from i of layer 2 to the output
  std::ostringstream file;
  file << "3\r\n2\r\n2\r\n1\r\n1\r\n1\r\n0\r\n";
  for (int i = 0; i <= 2; ++i) file << w1[i][1] << "\r\n" << w1[i][2] << "\r\n";
  for (int i = 0; i <= 2; ++i) file << w2[i] << "\r\n";
  file << "2\r\n-1\r\n1\r\n-1\r\n1\r\n1\r\n";
  Write("w.wts", file.str());
  Write("X.pr1", "DISPLAY\r\n");
  Write("X.ds1", kExclusiveOr);
  const RunResult run = Run("X --load-weights w.wts --explain 1:2");
  ASSERT_EQ(run.status, 0) << run.err;

  const double epsilon = 0.05;
  const double in[3] = {1, -1, 1};  // bias, input 1, input 2
  double hidden[3] = {1, 0, 0};
  double hiddenNet[3] = {};
  for (int j = 1; j <= 2; ++j) {
    for (int i = 0; i <= 2; ++i) hiddenNet[j] += w1[i][j] * in[i];
    hidden[j] = std::tanh(hiddenNet[j]);
  }
  const double outNet = w2[0] * 1 + w2[1] * hidden[1] + w2[2] * hidden[2];
  const double out = std::tanh(outNet);
  const double e = 1 - out;
  const double outDelta = (1 - out * out) * e;
  std::vector<std::vector<double>> expected = {
      {2, 1, hiddenNet[1], hidden[1], 1 - hidden[1] * hidden[1],
       (1 - hidden[1] * hidden[1]) * w2[1] * outDelta},
      {2, 2, hiddenNet[2], hidden[2], 1 - hidden[2] * hidden[2],
       (1 - hidden[2] * hidden[2]) * w2[2] * outDelta},
      {3, 1, outNet, out, 1 - out * out, outDelta},
      {1, 1, e}};
  for (int i = 0; i <= 2; ++i) {
    for (int j = 1; j <= 2; ++j) {
      const double change = in[i] * expected[static_cast<std::size_t>(j - 1)][5] * epsilon;
      expected.push_back({1, double(i), double(j), w1[i][j], change, w1[i][j] + change});
    }
  }
  for (int i = 0; i <= 2; ++i) {
    const double change = hidden[i] * outDelta * epsilon;
    expected.push_back({2, double(i), 1, w2[i], change, w2[i] + change});
  }

  std::vector<std::string> lines = Lines(run.out);
  const auto first = std::find(lines.begin(), lines.end(), "explain\t1\t2");
  ASSERT_NE(first, lines.end()) << run.out;
  ASSERT_EQ(lines.end() - first, 1 + 3 + 1 + 9);
  for (std::size_t n = 0; n < expected.size(); ++n) {
    std::istringstream line(*(first + 1 + static_cast<std::ptrdiff_t>(n)));
    std::string word;
    line >> word;
    EXPECT_EQ(word, n < 3 ? "node" : n == 3 ? "output" : "weight");
    for (const double value : expected[n]) {
      double read = 0;
      line >> read;
      EXPECT_NEAR(read, value, 1e-12) << "line " << n;
    }
  }
  EXPECT_EQ((first + 4)->rfind("output\t1\t1\t", 0), 0u) << "a whole target has no point";
}

// What the new outputs cannot do is a usage error after the run's output.
TEST_F(BackpropRunTest, MapAndExplainRefuseWhatTheyCannotShow) {
  Write("X.pr1", "NETLIST=2,3,1\r\nINITW=2\r\n");
  Write("X.ds1", "1\r\n1,1,1,1\r\n");
  const RunResult map = Run("X --map m.png --explain 1:9");
  EXPECT_EQ(map.status, 1);
  EXPECT_NE(map.out.find("Active"), std::string::npos) << "the run's own output comes first";
  EXPECT_NE(map.err.find("--map needs a net of two inputs"), std::string::npos) << map.err;
  EXPECT_NE(map.err.find("--explain 1:9: pattern 9 is not in 1..1"), std::string::npos) << map.err;
  EXPECT_FALSE(fs::exists(dir / "m.png"));
  EXPECT_EQ(Run("X --explain 3:1").status, 1);
  EXPECT_EQ(Run("X --explain 2:1").status, 1) << "an empty set";

  Write("Y.pr1", "NETLIST=3,2,2,1\r\nINITW=2\r\n");
  const RunResult neurode = Run("Y --map m.png --map-neurode 2:3");
  EXPECT_EQ(neurode.status, 1);
  EXPECT_NE(neurode.err.find("--map-neurode 2:3: the final net has no neurode 3 in layer 2"),
            std::string::npos)
      << neurode.err;
  EXPECT_FALSE(fs::exists(dir / "m.png"));
  const RunResult maps = Run("X --png p.png --neurode-maps");
  EXPECT_EQ(maps.status, 1);
  EXPECT_NE(maps.err.find("--neurode-maps needs a net of two inputs"), std::string::npos)
      << maps.err;
}

// --summary grades several sets in one call: a line each after the header,
// each with the exit status the set's own run would have had.
TEST_F(BackpropRunTest, SummaryGradesEverySetAndTestMeasuresTheFinalNet) {
  Write("good.pr1", std::string(kExclusiveOrProgram).insert(0, "EPSILON=.7\r\n"));
  Write("good.ds1", kExclusiveOr);
  Write("good.qs1", kExclusiveOr);
  Write("bad.pr1", kExclusiveOrProgram);
  Write("bad.ds1", "301\r\n1,1,1\r\n");
  Write("plain.pr1", "NETLIST=2,2,1\r\nDISPLAY\r\n");  // weights unset: every output 0
  Write("plain.qs1", kExclusiveOr);
  const RunResult run = Run("--summary --test 4 good.pr1 bad plain");
  EXPECT_EQ(run.status, 2) << "the highest status of the sets";
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 4u) << run.out;
  EXPECT_EQ(lines[0], "base,exit,trains,last_trial,last_error,test_error,right,total");
  EXPECT_EQ(lines[1].substr(0, 15), "good,0,1,567,0.");
  EXPECT_EQ(lines[1].substr(lines[1].size() - 4), ",4,4");
  EXPECT_EQ(lines[2], "bad,2,0,,,,,");
  EXPECT_EQ(lines[3], "plain,0,0,,,4,2,4") << "e = -1 or 1 four times; the -1 targets right";
  EXPECT_NE(run.err.find("bad: UNABLE TO EXECUTE TASK\n"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("bad: --test 4: the set holds no pattern"), std::string::npos);

  // Alone, the good set prints its test error as the report writes errors,
  // and the curve's last test error is that of the final net.
  const RunResult alone = Run("good --test 4 --curve c.csv");
  ASSERT_EQ(alone.status, 0) << alone.err;
  const std::vector<std::string> out = Lines(alone.out);
  ASSERT_GE(out.size(), 2u);
  EXPECT_EQ(out.back(), "Right= 4 of 4");
  const std::vector<std::string> rows = Lines(ReadFile(dir / "c.csv"));
  ASSERT_EQ(rows.size(), 1u + 567u);
  EXPECT_EQ(rows[0], "train,trial,error,test_error");
  const double last = std::stod(rows.back().substr(rows.back().rfind(',') + 1));
  std::string shown = "Test=" + backprop::FormatPattern(last, " ##.######");
  EXPECT_EQ(out[out.size() - 2], shown);
  EXPECT_EQ(lines[1].substr(lines[1].rfind(',', lines[1].size() - 5) + 1),
            backprop::RoundTripText(last) + ",4,4");
}

// Every set of the library reaches the goal its lesson note states, run as
// a teacher would grade it: the note's goal line gives the trials, the error
// and, where a test set counts, the test patterns right.
TEST_F(BackpropRunTest, EveryExerciseReachesTheGoalItsNoteStates) {
  const std::regex fallsBelow(R"(error falls below ([0-9.]+) within ([0-9]+) trials)");
  const std::regex atLimit(
      R"(at the training limit of ([0-9]+) trials the error is (still above|below) ([0-9.]+))"
      R"((, and at least ([0-9]+) of ([0-9]+) test patterns are right)?)");
  int checked = 0;
  for (const char* folder : {BACKPROP_EXERCISES_DIR, BACKPROP_DEMO_DIR}) {
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.path().extension() != ".txt") continue;
      const std::string note = ReadFile(entry.path());
      fs::path base = entry.path();
      base.replace_extension();
      std::smatch goal;
      const bool falls = std::regex_search(note, goal, fallsBelow);
      ASSERT_TRUE(falls || std::regex_search(note, goal, atLimit)) << base << ": no goal";
      const bool tested = !falls && goal[4].matched;
      const RunResult run = Run(std::string("--summary ") + (tested ? "--test 4 " : "") + "'" +
                                base.string() + "'");
      ASSERT_EQ(run.status, 0) << base << run.err;
      std::vector<std::string> fields;
      std::istringstream line(Lines(run.out).at(1));
      for (std::string field; std::getline(line, field, ',');) fields.push_back(field);
      fields.resize(8);
      const double trial = std::stod(fields[3]);
      const double error = std::stod(fields[4]);
      if (falls) {
        EXPECT_LT(error, std::stod(goal[1])) << base;
        EXPECT_LE(trial, std::stod(goal[2])) << base;
      } else {
        EXPECT_EQ(trial, std::stod(goal[1]) - 1) << base << ": runs to the limit";
        if (goal[2] == "below") EXPECT_LT(error, std::stod(goal[3])) << base;
        else EXPECT_GT(error, std::stod(goal[3])) << base;
      }
      if (tested) {
        EXPECT_GE(std::stoi(fields[6]), std::stoi(goal[5])) << base;
        EXPECT_EQ(fields[7], goal[6].str()) << base;
      }
      ++checked;
    }
  }
  EXPECT_EQ(checked, 13);
}

}  // namespace
