// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/parameters/parameter_table.h"

#include <string>

#include "engine/canvas.h"
#include "engine/number_text.h"

namespace backprop {

namespace {

void PrintNumber(Canvas& canvas, double value) { canvas.Print(PrintForm(value)); }

void PrintRange(Canvas& canvas, double low, double high) {
  PrintNumber(canvas, low);
  canvas.Print(",");
  PrintNumber(canvas, high);
}

constexpr NumberQuestion Ask(const char* prompt, const char* title,
                             WorkspaceValue Workspace::*field = nullptr) {
  return {prompt, title, field};
}

// clang-format off
const std::array<ParameterRow, kParameterRows> kRows = {{
    {"fn", "&Function ", "FUNCTION", 1.0, 93, "Transfer Function type is.............. ",
     [](const Workspace& ws, Canvas& c) { c.Print(ws.TransferFunctionName); },
     RowAction::NextFunction, {}},
    {"ep", "&epsilon", "EPSILON", 1.5, 93, "Epsilon/learning rate is................. ",
     [](const Workspace& ws, Canvas& c) { PrintNumber(c, ws.Epsilon); },
     RowAction::AskNumbers, {Ask("Enter epsilon", "Learning Rate", &Workspace::Epsilon)}},
    {"fr", "&IN-Range", "IRANGE", 2.0, 97, "Input Data Range (low,high)......... ",
     [](const Workspace& ws, Canvas& c) { PrintRange(c, ws.InputRangeLow, ws.InputRangeHigh); },
     RowAction::AskNumbers,
     {Ask("Enter Low Side of Range", "Input  Range", &Workspace::InputRangeLow),
      Ask("Enter High Side of Range", "Input Range", &Workspace::InputRangeHigh)}},
    {"rg", "&OUT-range", "ORANGE", 2.5, 97, "Output Data Range (low,high)....... ",
     [](const Workspace& ws, Canvas& c) { PrintRange(c, ws.OutputRangeLow, ws.OutputRangeHigh); },
     RowAction::AskNumbers,
     {Ask("Enter Lowest Desired Wt.:", "Low Output", &Workspace::OutputRangeLow),
      Ask("Enter Highest Desired Wt.:", "High Output", &Workspace::OutputRangeHigh)}},
    {"rs", "&W-seed", "WSEED", 3.0, 98, "Random Weight Seed =................ ",
     [](const Workspace& ws, Canvas& c) { PrintNumber(c, ws.WeightSeed); },
     RowAction::AskSeed, {Ask("Enter Seed #:", "Random Seed")}},
    {"sr", "&showrate", "SHOW=", 3.5, 102, "Show update after....................... ",
     [](const Workspace& ws, Canvas& c) {
       PrintNumber(c, ws.ShowRate);
       c.NextZone();
       c.Print(" cycles");
     },
     RowAction::AskNumbers,
     {Ask("Enter # Data Cycles before Display Update", "Show Rate", &Workspace::ShowRate)}},
    {"sc", "&update", "UPDATE", 4.0, 97, "After each (1=sample,2=pattern).... ",
     [](const Workspace& ws, Canvas& c) { PrintNumber(c, ws.UpdateMode); },
     RowAction::Toggle, {}, &Workspace::UpdateMode, 2},
    {"tp", "&trainmax", "TRAINMAX", 4.5, 95, "Stop training after........................ ",
     [](const Workspace& ws, Canvas& c) { PrintNumber(c, ws.TrainingLimit); },
     RowAction::AskNumbers,
     {Ask("Enter number of training cycles:", "Training limit", &Workspace::TrainingLimit)}},
    {"ad", "&A/D?", "ANALOG", 5.0, 98, "Output (1=analog, 0=digital).......... ",
     [](const Workspace& ws, Canvas& c) { PrintNumber(c, ws.OutputMode); },
     RowAction::Toggle, {}, &Workspace::OutputMode, 0},
    {"errr", "E&rr-test", "ERRTEST", 5.5, 98, "Error Test...................................",
     [](const Workspace& ws, Canvas& c) { c.Print(ws.ErrorTest == 1 ? "ON" : "OFF"); },
     RowAction::Toggle, {}, &Workspace::ErrorTest, 0},
    {"thr", "T&hreshold", "THRESHOLD", 6.0, 98, "Analog Threshold.....................",
     [](const Workspace& ws, Canvas& c) { c.Print(FormatPattern(ws.AnalogThreshold, "#.######")); },
     RowAction::AskNumbers,
     {Ask("Analog Training Threshold:", "Threshold", &Workspace::AnalogThreshold)}},
}};
// clang-format on

}  // namespace

const std::array<ParameterRow, kParameterRows>& ParameterRows() { return kRows; }

int RowAt(double y) {
  for (int i = 0; i < kParameterRows; ++i) {
    if (y > kRows[i].y - 0.25 && y < kRows[i].y + 0.25) return i;
  }
  return -1;
}

void DrawParameterList(Workspace& ws, Canvas& canvas) {
  canvas.SetScale(0.0, 0.0, 10.0, 10.0);
  FollowFunctionCode(ws);
  // In a proportional font the row-clearing blanks are narrower than the
  // print columns they stand for and would leave the end of a longer old
  // value behind, so the whole surface is cleared first.
  canvas.Clear();
  for (const ParameterRow& row : kRows) {
    canvas.MoveTo(1.0, row.y);
    canvas.Print(std::string(static_cast<std::size_t>(row.blanks), ' '));
    canvas.EndLine();
  }
  for (const ParameterRow& row : kRows) {
    canvas.MoveTo(1.0, row.y);
    canvas.Print(row.label);
    canvas.ToColumn(kValueColumn);
    row.writeValue(ws, canvas);
    canvas.EndLine();
  }
}

void StepTransferFunction(Workspace& ws) {
  ws.TransferFunction = ws.TransferFunction + 1;
  if (ws.TransferFunction > 4) ws.TransferFunction = 1;
  FollowFunctionCode(ws);
}

void FollowFunctionCode(Workspace& ws) {
  if (const std::string name = TransferFunctionNameOf(ws.TransferFunction); !name.empty()) {
    ws.TransferFunctionName = name;
  }
}

void ToggleParameter(Workspace& ws, const ParameterRow& row) {
  WorkspaceValue& field = ws.*row.toggled;
  field = field == 1 ? row.toggledFrom1 : 1.0;
}

}  // namespace backprop
