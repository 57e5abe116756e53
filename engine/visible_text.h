// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace backprop {

// A text as a message may quote it: every control character, and every byte
// that is not part of well-formed UTF-8, becomes a visible escape ("\r",
// "\n", "\t", "\x1B"), so a file name or a line of a file cannot move a
// terminal's cursor or recolour it when a message shows it. Backslashes are
// kept as they are, so escaping an escaped text changes nothing.
std::string VisibleText(std::string_view text);

// Whether a text holds an ASCII control character (below a blank, or DEL):
// a line break or an escape in a file's name that lists and scripts would
// misread.
bool HasControlCharacter(std::string_view text);

// A text longer than `longest` bytes cut to its first `kept` bytes (fewer
// where that would cut a character of several bytes in two) and "...";
// a shorter one as it is. Messages quote long texts so.
std::string CutShort(std::string_view text, std::size_t longest, std::size_t kept);
inline std::string CutShort(std::string_view text, std::size_t longest) {
  return CutShort(text, longest, longest);
}

// A text as a message quotes it: in double quotes, cut short after
// `longest` bytes, with visible escapes (VisibleText).
std::string QuotedShort(std::string_view text, std::size_t longest);

}  // namespace backprop
