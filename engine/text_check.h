// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace backprop {

enum class BufferId : int;
struct Workspace;

// Checks of program and data texts that say what a run would quietly make
// of them: a misspelt keyword that does nothing, a value that reads as 0, a
// pattern count that disagrees with the fields. They only read; a text runs
// exactly as it would without them.

// One warning, on the line it names.
struct TextWarning {
  int line = 0;      // from 1, lines ending at CR LF, LF or CR
  std::string text;  // "EPSILN: not a keyword; did you mean EPSILON?"
  friend bool operator==(const TextWarning&, const TextWarning&) = default;
};

// A text gets at most this many warnings, then one that says more follow
// ("more warnings from here on", on the line of the next); a check stops there.
inline constexpr int kMaxWarnings = 100;

// The warnings of a network program: a line of the form WORD=value that
// holds no keyword (with the nearest keywords), a keyword whose value is
// not a number or lacks its "=", a list value that is not a number, a range
// of one value, a NETLIST whose sizes disagree with its layer count, a data
// set that holds no data, and every line that would end the run with an
// error (too many items, a layer count or size beyond the tables, a seed
// out of range, a number too large).
std::vector<TextWarning> CheckProgram(std::string_view text);

// How a data set will be read: the net's inputs and outputs and the ranges
// at the moment it is read.
struct DataLayout {
  int inputs = 0;
  int outputs = 0;
  bool outputsOptional = false;  // the test set: stepping reads its inputs only
  double inputLow = -1, inputHigh = 1;
  double outputLow = -1, outputHigh = 1;
};

// The warnings of a data text read with `layout`: a count that is not a
// number or above 300, a count that disagrees with the fields present, a
// value that is not a number, and values outside the input or output range.
std::vector<TextWarning> CheckDataSet(std::string_view text, const DataLayout& layout);

// How data set `set` (1, 2 or 4) will be read when the programs `runs` run
// in turn from the workspace's present values: the geometry and ranges at
// the first line that trains or steps on it, or else those after the last
// program. Nothing when that geometry does not fit the tables.
std::optional<DataLayout> LayoutOf(const Workspace& ws, int set, const std::vector<BufferId>& runs);

// The warnings of `text` held by buffer `id`: the program checks for a
// program, the data checks for a data set read as LayoutOf says.
std::vector<TextWarning> CheckBuffer(const Workspace& ws, BufferId id, std::string_view text,
                                     const std::vector<BufferId>& runs);

// The keywords nearest to a word that is not one, best first (ties in scan
// order), or none when no keyword is near.
std::vector<std::string_view> NearestKeywords(std::string_view upperWord);

}  // namespace backprop
