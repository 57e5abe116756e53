// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/parameters/parameter_actions.h"

#include <cmath>
#include <cstdint>
#include <optional>

#include "engine/number_text.h"
#include "engine/whole_number.h"
#include "ui/common/dialogs.h"
#include "ui/common/window_style.h"
#include "ui/parameters/parameter_table.h"

namespace backprop {

namespace {

// The number typed into one input dialog, or nothing for an empty answer.
std::optional<double> AskNumber(Dialogs& dialogs, QWidget* parent, const NumberQuestion& q) {
  const QString answer = dialogs.Input(parent, q.prompt, q.title);
  if (answer.isEmpty()) return std::nullopt;
  return ReadLeadingNumber(answer.toStdString());
}

void AskNumbers(Workspace& ws, Dialogs& dialogs, QWidget* parent, const ParameterRow& row) {
  for (const NumberQuestion& q : row.questions) {
    if (!q.prompt) continue;
    const std::optional<double> value = AskNumber(dialogs, parent, q);
    if (!value) continue;
    // An infinity would later turn training into a silent run of NaNs.
    if (!std::isfinite(*value)) {
      dialogs.Warning(parent, kMessageBoxTitle, kNumberTooLargeWarning);
      continue;
    }
    ws.*q.field = *value;
  }
}

void AskSeed(Workspace& ws, Dialogs& dialogs, QWidget* parent, const ParameterRow& row) {
  const std::optional<double> value = AskNumber(dialogs, parent, row.questions[0]);
  if (!value) return;
  // Rounded and checked as the WSEED keyword does.
  const std::optional<std::int64_t> seed = RoundedWithin(*value, INT16_MIN, INT16_MAX);
  if (!seed) {
    dialogs.Warning(parent, kMessageBoxTitle, kSeedRangeWarning);
    return;
  }
  ws.WeightSeed = static_cast<std::int16_t>(*seed);
}

}  // namespace

void RunParameterRow(Workspace& ws, Dialogs& dialogs, QWidget* parent, const ParameterRow& row) {
  switch (row.action) {
    case RowAction::NextFunction:
      StepTransferFunction(ws);
      break;
    case RowAction::Toggle:
      ToggleParameter(ws, row);
      break;
    case RowAction::AskNumbers:
      AskNumbers(ws, dialogs, parent, row);
      break;
    case RowAction::AskSeed:
      AskSeed(ws, dialogs, parent, row);
      break;
  }
}

}  // namespace backprop
