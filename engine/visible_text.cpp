// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/visible_text.h"

#include <algorithm>
#include <cstdint>

namespace backprop {

namespace {

bool IsAsciiControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

void AppendEscape(std::string& out, unsigned char byte) {
  switch (byte) {
    case '\r':
      out += "\\r";
      return;
    case '\n':
      out += "\\n";
      return;
    case '\t':
      out += "\\t";
      return;
    default:
      break;
  }
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 0xF];
}

// The length of the well-formed UTF-8 sequence of a printable character at
// the start of `text`, or 0. The C1 controls (U+0080..U+009F) count as
// control characters: some terminals obey them.
std::size_t PrintableSequence(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return IsAsciiControl(lead) ? 0 : 1;
  std::size_t length = 0;
  std::uint32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
  static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
  if (code <= 0x9F) return 0;
  return length;
}

}  // namespace

std::string VisibleText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const std::size_t length = PrintableSequence(text);
    if (length == 0) {
      AppendEscape(out, static_cast<unsigned char>(text.front()));
      text.remove_prefix(1);
    } else {
      out.append(text.substr(0, length));
      text.remove_prefix(length);
    }
  }
  return out;
}

bool HasControlCharacter(std::string_view text) {
  for (const char c : text) {
    if (IsAsciiControl(static_cast<unsigned char>(c))) return true;
  }
  return false;
}

std::string CutShort(std::string_view text, std::size_t longest, std::size_t kept) {
  if (text.size() <= longest) return std::string(text);
  std::size_t length = std::min(kept, text.size());
  // A byte 10xxxxxx continues the character before it.
  while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  return std::string(text.substr(0, length)) + "...";
}

std::string QuotedShort(std::string_view text, std::size_t longest) {
  std::string quoted(1, '"');
  quoted.append(VisibleText(CutShort(text, longest))).push_back('"');
  return quoted;
}

}  // namespace backprop
