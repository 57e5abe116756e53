// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/text_check.h"

namespace backprop {

// What the program checks and the data checks share.

// Collects the warnings of one text: at most kMaxWarnings of them, then one
// that says more follow from the line of the next.
class WarningList {
 public:
  void Add(int line, std::string text);
  // True once a warning beyond the last kept one came: a check may stop.
  bool Full() const { return full_; }
  std::vector<TextWarning> Take() { return std::move(warnings_); }

 private:
  std::vector<TextWarning> warnings_;
  bool full_ = false;
};

// True when reading the text as a number finds one: blanks skipped
// anywhere, an optional sign, at most one point, then a digit. Otherwise
// the text reads as 0 without a word.
bool BeginsWithNumber(std::string_view text);

// A number as the window writes it, without the blank before it: ".2", "-1".
std::string Shown(double value);

// A user's text quoted for a warning, escaped and cut when long: "\"abc\"".
std::string Quoted(std::string_view text);

// "1 field", "2 fields".
std::string Counted(long long count, std::string_view noun);

}  // namespace backprop
