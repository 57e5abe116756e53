// SPDX-License-Identifier: GPL-3.0-or-later
// The demonstration sets shipped in demo/: they load completely, and their
// weights solve their problems when stepped through as a user would.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engine/interpreter.h"
#include "engine/text_check.h"
#include "engine/workspace.h"
#include "files/file_set.h"
#include "files/text_file.h"
#include "tests/support/recording_canvas.h"

namespace backprop {
namespace {

// The largest difference the digital error measure counts as no error:
// the integer part of 3.2 e^2 is 0 below the square root of 1/3.2.
constexpr double kDigitalThreshold = 0.559017;
constexpr RowChoice kAllRows{true, true, true, true, true, true};

Workspace LoadedSet(const std::string& name) {
  Workspace ws;
  ApplyDefaults(ws);
  ws.FileNames = FileSetNames(std::string(BACKPROP_DEMO_DIR) + "/" + name);
  LoadFileSet(ws, kAllRows);
  return ws;
}

// Runs StepThruTrn(D1) once, as the main window's command does; returns
// the footer and leaves the pattern's values in the workspace.
std::string StepTrainingSet(Workspace& ws) {
  testing::ScriptedHost host;
  ws.RunMode = 3;
  RunProgram(ws, host);
  EXPECT_TRUE(host.warnings.empty());
  const std::string log = host.canvas.TextLog();
  return log.substr(log.rfind('|') + 1);
}

// Steps through every pattern of D1 and checks each output neurode against
// its desired value.
void ExpectStepsMatch(Workspace& ws, double tolerance) {
  const int last = static_cast<int>(ws.LayerCount);
  ws.StepPosition = 1;
  StepTrainingSet(ws);  // loads the set, so the pattern count is known
  const int patterns = static_cast<int>(ws.PatternCount);
  ASSERT_GE(patterns, 2);
  ws.StepPosition = 1;
  for (int p = 1; p <= patterns; ++p) {
    EXPECT_EQ(StepTrainingSet(ws), "STEP  " + std::to_string(p) + "  OF  " +
                                       std::to_string(patterns) + " . TRAINING DATA SET 1");
    for (int j = 1; j <= ws.LayerSizes(last); ++j) {
      EXPECT_NEAR(ws.NodeValues(j, last), ws.ScaledTargets(j, p), tolerance)
          << "pattern " << p << ", output " << j;
    }
  }
}

TEST(DemoSets, TextsKeepCrLfLineEnds) {
  for (const char* name : {"Demo", "Equations"}) {
    for (const std::string& file : FileSetNames(std::string(BACKPROP_DEMO_DIR) + "/" + name)) {
      const std::string text = ReadTextFile(file);
      ASSERT_GE(text.size(), 2u) << file;
      EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << file;
      for (std::size_t at = text.find('\n'); at != std::string::npos;
           at = text.find('\n', at + 1)) {
        ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << file << " has a bare line feed";
      }
    }
  }
}

// The base names of the file sets in a folder and the folders below it.
std::set<std::string> SetsIn(const std::filesystem::path& folder) {
  std::set<std::string> bases;
  if (!std::filesystem::is_directory(folder)) return bases;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::filesystem::path& path = entry.path();
    for (const char* extension : kFileSetExtensions) {
      if (path.extension() == extension) bases.insert((path.parent_path() / path.stem()).string());
    }
  }
  return bases;
}

// No text of a shipped set, demonstration or exercise, draws a warning, as
// the editor checks it (Run(S1), then Run(S2)) or as the runner does (the
// program it runs).
TEST(DemoSets, NoShippedTextDrawsAWarning) {
  using enum BufferId;
  std::set<std::string> sets = SetsIn(BACKPROP_DEMO_DIR);
  ASSERT_GE(sets.size(), 2u);
  sets.merge(SetsIn(std::filesystem::path(BACKPROP_DEMO_DIR).parent_path() / "exercises"));
  for (const std::string& base : sets) {
    Workspace ws;
    ApplyDefaults(ws);
    ws.FileNames = FileSetNames(base);
    RowChoice rows = ExistingTextRows(ws);
    rows[kFileSetRows - 1] = std::filesystem::exists(ws.FileNames[kFileSetRows - 1]);
    LoadFileSet(ws, rows);
    for (const BufferId id : {ProgramS1, ProgramS2, TrainingDataD1, TrainingDataD2, TestSetT1}) {
      for (const std::vector<BufferId>& runs :
           {std::vector<BufferId>{ProgramS1, ProgramS2}, std::vector<BufferId>{ProgramS1}}) {
        const std::vector<TextWarning> warnings = CheckBuffer(ws, id, ws.TextBuffer(id), runs);
        EXPECT_TRUE(warnings.empty()) << base << " buffer " << static_cast<int>(id) << ": line "
                                      << warnings.front().line << ": " << warnings.front().text;
      }
    }
  }
}

TEST(DemoSets, DemoWeightsSolveTheHalfAdder) {
  Workspace ws = LoadedSet("Demo");
  EXPECT_EQ(ws.LayerCount, 3);
  EXPECT_EQ(ws.LayerSizes(1), 2);
  EXPECT_EQ(ws.LayerSizes(3), 2);
  ExpectStepsMatch(ws, kDigitalThreshold);
}

TEST(DemoSets, DemoProgramTrainsANetThatSolvesIt) {
  Workspace ws = LoadedSet("Demo");
  ws.Weights.Reset();
  testing::ScriptedHost host;
  ws.RunMode = 1;
  RunProgram(ws, host);
  ASSERT_TRUE(host.warnings.empty());
  EXPECT_EQ(ws.TrialCounter, ws.TrainingLimit + 1) << "stopped by the error test, not the limit";
  ExpectStepsMatch(ws, kDigitalThreshold);
}

TEST(DemoSets, EquationsWeightsAreTheSolution) {
  Workspace ws = LoadedSet("Equations");
  EXPECT_EQ(ws.TransferFunction, 1);
  EXPECT_EQ(ws.OutputMode, 1);
  EXPECT_NEAR(ws.Weights(1, 1, 1), 1, 1e-9);  // x
  EXPECT_NEAR(ws.Weights(2, 1, 1), 2, 1e-9);  // y
  EXPECT_NEAR(ws.Weights(3, 1, 1), 3, 1e-9);  // z
  ExpectStepsMatch(ws, 1e-9);
}

}  // namespace
}  // namespace backprop
