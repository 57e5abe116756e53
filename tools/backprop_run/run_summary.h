// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "engine/error_curve.h"
#include "engine/test_error.h"

namespace backprop {

// What --summary says of one set's run.
struct RunSummary {
  std::string base;                    // as given on the command line
  int exit = 0;                        // the status a run of this set alone would end with
  int trains = 0;                      // TRAIN lines that ran
  std::optional<CurvePoint> last;      // the last cycle of the last TRAIN line
  std::optional<TestError> test;       // --test: the test set under the final weights
};

// The header line of --summary.
std::string SummaryHeader();

// One set's CSV line: base,exit,trains,last_trial,last_error,test_error,
// right,total; an empty field where a value does not apply (no cycle, no
// test set, targets that are not counted). Numbers read back exactly; a
// base with a comma, a quote or a line break is quoted.
std::string SummaryLine(const RunSummary& summary);

// The lines --test prints after a run: "Test=" and the error as the report
// writes one ("Error=" form of the output mode), and "Right= R of N" where
// the targets are counted.
std::string TestLines(const TestError& test, bool digital);

}  // namespace backprop
