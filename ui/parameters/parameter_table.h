// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "engine/workspace.h"

namespace backprop {

class Canvas;

// The parameters window lists eleven parameters, one row each, and has one
// menu entry per row (plus "End"). This table describes every row once:
// where it stands, how it is drawn and what choosing it does, so the
// drawing, the menu and the mouse all agree.

// What choosing a row does.
enum class RowAction {
  NextFunction,  // steps TransferFunction by one, wrapping after 4
  AskNumbers,    // one or two input dialogs, each setting a number field
  AskSeed,       // one input dialog setting WeightSeed
  Toggle,        // a field that equals 1 becomes `toggledFrom1`, else 1
};

// One input dialog and the field its answer sets.
struct NumberQuestion {
  const char* prompt = nullptr;
  const char* title = nullptr;
  WorkspaceValue Workspace::*field = nullptr;  // nullptr for the seed
};

struct ParameterRow {
  const char* name;     // control name of the menu entry
  const char* caption;  // caption of the menu entry, "&" before its mnemonic
  const char* keyword;  // the program keyword that sets the row's parameter
  double y;             // the row's y on the 10 by 10 user scale
  int blanks;           // blanks written to clear the row
  const char* label;    // label with its dot leader
  void (*writeValue)(const Workspace& ws, Canvas& canvas);  // after the value column
  RowAction action;
  std::array<NumberQuestion, 2> questions;       // AskNumbers, AskSeed (unused ones are empty)
  WorkspaceValue Workspace::*toggled = nullptr;  // Toggle
  double toggledFrom1 = 0.0;                     // Toggle: the value that replaces 1
};

inline constexpr int kParameterRows = 11;

// The rows by their place in ParameterRows(), top to bottom.
enum ParameterRowIndex : int {
  kFunctionRow,
  kEpsilonRow,
  kInputRangeRow,
  kOutputRangeRow,
  kSeedRow,
  kShowRateRow,
  kUpdateRow,
  kTrainingLimitRow,
  kOutputModeRow,
  kErrorTestRow,
  kThresholdRow,
};

// Print column at which every value starts.
inline constexpr int kValueColumn = 50;

// The rows from top to bottom, which is also the order of the menu entries.
const std::array<ParameterRow, kParameterRows>& ParameterRows();

// The row whose band (its y plus or minus 0.25, ends excluded) holds y, or
// -1 when y lies outside every band or exactly on a band boundary.
int RowAt(double y);

// ShowParms' drawing: sets the 10 by 10 scale, brings TransferFunctionName
// in step with the code, clears every row and writes every label and value.
void DrawParameterList(Workspace& ws, Canvas& canvas);

// The "Function " entry: the next transfer function, wrapping from above 4
// to 1; the name follows a known code and stays as it was otherwise.
void StepTransferFunction(Workspace& ws);

// Brings TransferFunctionName in step with a known TransferFunction code;
// an unknown code leaves the name as it was.
void FollowFunctionCode(Workspace& ws);

// A toggle entry: the row's field becomes toggledFrom1 when it equals 1,
// otherwise 1.
void ToggleParameter(Workspace& ws, const ParameterRow& row);

}  // namespace backprop
