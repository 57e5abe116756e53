// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bitset>
#include <functional>
#include <string>
#include <string_view>

#include "engine/program_text.h"

namespace backprop {

struct Workspace;

// A program line as a walk meets it.
struct WalkedLine {
  int number = 0;                       // as written, from 1
  std::string_view text;                // as written
  std::string_view upper;               // upper case, as the keywords are found in it
  std::bitset<kKeywordCount> keywords;  // the keywords found on it
  double readSet = 0;                   // the data set it trains or steps on; 0 for none
  std::string error;                    // why a run would stop here; empty when it would not
};

// Walks a program without running it. On `ws` (a copy of the workspace,
// which the walk changes) every line sets its keyword values as a run in
// RunMode `runMode` would, but nothing is drawn, trained, stepped or
// initialised. `visit` sees each line that runs, with `ws` holding the
// values after it, and returns whether the walk goes on. A line that would
// end the run is reported in its `error`, and the walk may go on with the
// next line, so one walk can find every such line.
void WalkProgram(Workspace& ws, std::string_view text, int runMode,
                 const std::function<bool(const WalkedLine& line, const Workspace& after)>& visit);

}  // namespace backprop
