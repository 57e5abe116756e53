// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/text_check_support.h"

#include "engine/number_text.h"
#include "engine/text_lines.h"
#include "engine/visible_text.h"

namespace backprop {

void WarningList::Add(int line, std::string text) {
  if (full_) return;
  if (static_cast<int>(warnings_.size()) < kMaxWarnings) {
    warnings_.push_back({line, std::move(text)});
    return;
  }
  warnings_.push_back({line, "more warnings from here on"});
  full_ = true;
}

bool BeginsWithNumber(std::string_view text) {
  // The same steps as ReadLeadingNumber takes up to its first digit; line
  // ends count as blanks there too.
  std::size_t pos = 0;
  const auto next = [&]() {
    while (pos < text.size() && (IsBlank(text[pos]) || IsLineEndChar(text[pos]))) ++pos;
    return pos < text.size() ? text[pos] : '\0';
  };
  char c = next();
  if (c == '+' || c == '-') {
    ++pos;
    c = next();
  }
  if (c == '.') {
    ++pos;
    c = next();
  }
  return c >= '0' && c <= '9';
}

std::string Shown(double value) { return std::string(TrimBlanks(NumberText(value))); }

std::string Quoted(std::string_view text) {
  constexpr std::size_t kLongest = 24;
  return QuotedShort(text, kLongest);
}

std::string Counted(long long count, std::string_view noun) {
  return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

}  // namespace backprop
