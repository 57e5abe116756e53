// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/parameters/override_marks.h"

#include <array>
#include <memory>
#include <optional>
#include <string_view>

#include "engine/canvas.h"
#include "engine/program_text.h"
#include "engine/program_walk.h"
#include "engine/text_lines.h"
#include "engine/workspace.h"
#include "ui/parameters/parameter_table.h"

namespace backprop {

namespace {

// Where the marks start, below the last row at y = 6, and their heading.
constexpr double kMarksTop = 6.75;
constexpr const char* kMarksHeading = "Set again when a program runs:";

// Keeps the texts a row's value is written with, a blank for a print zone.
class ValueText : public Canvas {
 public:
  std::string text;

  void Print(std::string_view part) override { text += part; }
  void NextZone() override { text += ' '; }
  void SetScale(double, double, double, double) override {}
  void Clear() override {}
  void MoveTo(double, double) override {}
  void EndLine() override {}
  void ToColumn(int) override {}
  void SetLineWidth(int) override {}
  void SetLineStyle(LineStyle) override {}
  void Line(double, double, double, double, std::optional<Rgb>) override {}
  void Circle(double, double, double) override {}
};

// The row's value as the list writes it, without the blanks around it or
// the room between its parts: "-1 , 1", "25 cycles".
std::string RowValue(Workspace& after, const ParameterRow& row) {
  FollowFunctionCode(after);
  ValueText value;
  row.writeValue(after, value);
  std::string text;
  for (const char c : TrimBlanks(value.text)) {
    if (c != ' ' || text.back() != ' ') text += c;
  }
  return text;
}

// The keyword as a user writes it before its value: "SHOW", not "SHOW=".
std::string KeywordName(std::string_view keyword) {
  return std::string(keyword.back() == '=' ? keyword.substr(0, keyword.size() - 1) : keyword);
}

}  // namespace

std::vector<std::string> OverrideMarks(const Workspace& ws) {
  const auto& rows = ParameterRows();
  std::array<std::string, kParameterRows> marks;
  struct Program {
    BufferId buffer;
    const char* name;
    int runMode;
  };
  static constexpr std::array<Program, 2> kPrograms{{
      {BufferId::ProgramS1, "S1", kRunProgramS1},
      {BufferId::ProgramS2, "S2", kRunProgramS2},
  }};
  // Run(S1) and then Run(S2), as a user runs them, on one copy.
  auto copy = std::make_unique<Workspace>(ws);
  for (const Program& program : kPrograms) {
    std::array<std::string, kParameterRows> found;
    const std::string text = copy->TextBuffer(program.buffer);
    const std::string name = program.name;
    WalkProgram(*copy, text, program.runMode, [&](const WalkedLine& line, const Workspace&) {
      // A run stops at its error, and with it what its later lines set.
      if (!line.error.empty()) return false;
      for (int r = 0; r < kParameterRows; ++r) {
        if (!line.keywords[KeywordIndex(rows[r].keyword)]) continue;
        // The copy holds the values after the line.
        found[r] = "Program " + name + " line " + std::to_string(line.number) + " sets " +
                   RowValue(*copy, rows[r]) + " at Run(" + name + ")";
      }
      return true;
    });
    for (int r = 0; r < kParameterRows; ++r) {
      if (found[r].empty()) continue;
      marks[r] += (marks[r].empty() ? KeywordName(rows[r].keyword) + ": " : "; ") + found[r];
    }
  }
  std::vector<std::string> shown;
  for (const std::string& mark : marks) {
    if (!mark.empty()) shown.push_back(mark);
  }
  return shown;
}

std::string DrawParametersWindow(Workspace& ws, Canvas& canvas) {
  DrawParameterList(ws, canvas);
  const std::vector<std::string> marks = OverrideMarks(ws);
  std::string text;
  for (const ParameterRow& row : ParameterRows()) {
    std::string_view label = row.label;
    label = label.substr(0, label.find_last_not_of(". ") + 1);
    text += std::string(label) + " " + RowValue(ws, row) + "\n";
  }
  if (marks.empty()) return text;
  canvas.MoveTo(1.0, kMarksTop);
  canvas.Print(kMarksHeading);
  canvas.EndLine();
  text.append(kMarksHeading).append("\n");
  for (const std::string& mark : marks) {
    canvas.Print("  " + mark);
    canvas.EndLine();
    text += mark + "\n";
  }
  return text;
}

}  // namespace backprop
