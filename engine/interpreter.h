// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bitset>
#include <string>
#include <string_view>

#include "engine/program_text.h"

namespace backprop {

class Host;
struct Workspace;

// The two lines that start the one run-error message. A third line follows
// them, after the same line feed and carriage return: "Line 4 (TRAIN=1): the
// show rate is 0", the program line as written (counting every line, also
// those too short to run) and the reason.
inline constexpr const char* kRunErrorMessage =
    "UNABLE TO EXECUTE TASK\n\rTASK HAS BEEN TERMINATED";

// Executes a network program: Program S1 for RunMode 1 (or below), Program
// S2 for RunMode 2, the one-line program "STEP=1" for the step modes 3 and 4.
// Every line is scanned for the keywords in their fixed order; a run error
// shows the warning (see kRunErrorMessage) and ends the run. Always returns
// with Busy = 0.
void RunProgram(Workspace& ws, Host& host);

// Splits CurrentLine at every "=" and "," into LineItems from index 1, each
// trimmed of blanks; ItemCount ends one past the last item. Slots above the
// new items keep older text. More than 20 items is a run error.
void SplitLineItems(Workspace& ws);

// What one line would do, found without doing it: the upper-case line, with
// the keywords found on it (KeywordsIn), sets its keyword values in `ws`
// (normally a copy) as a run would, but nothing is drawn, trained, stepped
// or initialised. Returns the data set the line would train or step on, 0
// for none. Throws EngineError where a run would stop.
double ApplyLineValues(Workspace& ws, std::string_view upperLine,
                       const std::bitset<kKeywordCount>& keywords);

}  // namespace backprop
