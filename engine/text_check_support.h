#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/text_check.h"

namespace backprop {

// What the program checks and the data checks share.

// Collects the warnings of one text, at most kMaxWarnings of them and then
// one that counts the rest.
class WarningList {
 public:
  void Add(int line, std::string text);
  // The warnings, with the count of the rest when there were too many.
  std::vector<TextWarning> Take();

 private:
  std::vector<TextWarning> warnings_;
  int dropped_ = 0;
  int firstDroppedLine_ = 0;
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
