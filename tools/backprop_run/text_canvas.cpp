// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/backprop_run/text_canvas.h"

#include <ostream>

#include "engine/text_lines.h"

namespace backprop {

namespace {
constexpr auto kZone = static_cast<std::size_t>(kPrintZoneColumns);
}  // namespace

TextCanvas::~TextCanvas() { Flush(); }

void TextCanvas::Flush() {
  if (!open_) return;
  const std::string_view shown = TrimTrailingBlanks(line_);
  out_.write(shown.data(), static_cast<std::streamsize>(shown.size()));
  out_.put('\n');
  line_.clear();
  open_ = false;
}

void TextCanvas::Print(std::string_view text) {
  open_ = true;
  line_.append(text);
}

void TextCanvas::NextZone() {
  open_ = true;
  line_.resize((line_.size() / kZone + 1) * kZone, ' ');
}

void TextCanvas::ToColumn(int column) {
  open_ = true;
  if (column > 0 && line_.size() < static_cast<std::size_t>(column)) {
    line_.resize(static_cast<std::size_t>(column), ' ');
  }
}

}  // namespace backprop
