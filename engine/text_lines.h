// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace backprop {

// Line ends and blanks, the one place that says what they are. Texts come
// from any editor, so a line ends at CR LF, at a lone LF or at a lone CR,
// and each counts as one line end; a blank is a space or a tab.

// True for a space or a tab.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// True for CR or LF.
constexpr bool IsLineEndChar(char c) { return c == '\r' || c == '\n'; }

// The length of the line end at `pos`: 2 for CR LF, 1 for a lone CR or LF, 0
// when no line end starts there (or pos is past the text).
std::size_t LineEndLength(std::string_view text, std::size_t pos);

// The text without the blanks at its start and its end.
std::string_view TrimBlanks(std::string_view text);

// The text without the blanks at its end.
std::string_view TrimTrailingBlanks(std::string_view text);

// Walks the lines of a text, numbered from 1. A text that ends with a line
// end has no empty line after it; an empty text has no line at all.
class TextLines {
 public:
  explicit TextLines(std::string_view text) : text_(text) {}

  // Puts the next line, without its line end, into `line`; false after the
  // last line.
  bool Next(std::string_view& line);
  // The number of the line Next() gave last (0 before the first).
  int Number() const { return number_; }
  // Where that line starts in the text.
  std::size_t Start() const { return start_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t start_ = 0;
  int number_ = 0;
};

// The text with every line end written as `lineEnd` ("\n" for plain lines,
// "\r\n" for the buffers and files).
std::string WithLineEnds(std::string_view text, std::string_view lineEnd);

}  // namespace backprop
