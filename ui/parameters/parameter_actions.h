// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace backprop {

class Dialogs;
struct ParameterRow;
struct Workspace;

// Shown for a seed answer that rounds outside the 16-bit range; the seed stays.
inline constexpr const char* kSeedRangeWarning = "THE SEED MUST BE FROM -32768 TO 32767";
// Shown for an answer too large for a number; the field stays.
inline constexpr const char* kNumberTooLargeWarning = "THE NUMBER IS TOO LARGE";

// Runs what choosing a row does: steps the transfer function, flips a
// toggle, or asks its input dialogs through `dialogs` (with `parent` as
// their parent) and stores the answers. An empty answer (or Cancel) leaves
// its field unchanged; any other answer is read by its leading number, so
// letters alone give 0.
void RunParameterRow(Workspace& ws, Dialogs& dialogs, QWidget* parent, const ParameterRow& row);

}  // namespace backprop
