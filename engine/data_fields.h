// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string_view>

namespace backprop {

// Splits a data text into its fields, in memory. A field ends at a comma or
// a line end (CR LF, LF or CR); blanks and tabs before it are skipped, and
// so are blanks and tabs after an unquoted field. A field that starts with a
// double quote ends at the closing quote, and whatever follows it up to the
// next separator is skipped. Empty lines, and lines of blanks only, hold no
// field and are skipped; a comma always opens another field, so "1,,2" and
// a comma at the end of a line or of the text give an empty field.
class DataFieldReader {
 public:
  explicit DataFieldReader(std::string_view text) : text_(text) {}

  // True when no field is left. Moves past the blanks and empty lines before
  // the next field, so that asking again costs nothing: a load asks once for
  // every missing field, and a long blank tail must not be scanned each time.
  bool AtEnd();
  // The next field's text, without its quotes. Only call when !AtEnd().
  std::string_view Next();
  // The line, from 1, on which the field Next() gave last starts.
  int Line() const { return line_; }

 private:
  std::size_t SkipBlanks(std::size_t pos) const;
  std::size_t SkipBlanksAndLineEnds(std::size_t pos) const;
  // Consumes the separator at pos (comma, line end or the end of the text).
  void ConsumeSeparator(std::size_t pos);
  // Counts the line ends before `pos` that were not counted yet.
  void CountLinesTo(std::size_t pos);

  std::string_view text_;
  std::size_t pos_ = 0;
  bool afterComma_ = false;  // the last field ended at a comma
  std::size_t counted_ = 0;  // line ends before this position are counted
  int line_ = 1;
};

}  // namespace backprop
