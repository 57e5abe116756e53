// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/text_lines.h"

namespace backprop {

std::size_t LineEndLength(std::string_view text, std::size_t pos) {
  if (pos >= text.size() || !IsLineEndChar(text[pos])) return 0;
  return text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n' ? 2 : 1;
}

std::string_view TrimBlanks(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  return TrimTrailingBlanks(text.substr(first));
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  return text.substr(0, end);
}

bool TextLines::Next(std::string_view& line) {
  if (pos_ >= text_.size()) return false;
  start_ = pos_;
  std::size_t end = pos_;
  while (end < text_.size() && !IsLineEndChar(text_[end])) ++end;
  line = text_.substr(start_, end - start_);
  pos_ = end + LineEndLength(text_, end);
  ++number_;
  return true;
}

std::string WithLineEnds(std::string_view text, std::string_view lineEnd) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t pos = 0; pos < text.size();) {
    if (const std::size_t end = LineEndLength(text, pos); end > 0) {
      out += lineEnd;
      pos += end;
    } else {
      out += text[pos++];
    }
  }
  return out;
}

}  // namespace backprop
