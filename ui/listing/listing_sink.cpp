// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/listing/listing_sink.h"

#include "engine/text_lines.h"

namespace backprop {

void ListingSink::Write(std::string_view text) {
  std::size_t pos = pendingCr_ && !text.empty() && text.front() == '\n' ? 1 : 0;
  pendingCr_ = false;
  while (pos < text.size()) {
    std::size_t end = pos;
    while (end < text.size() && !IsLineEndChar(text[end])) ++end;
    if (end > pos) Append(text.substr(pos, end - pos));
    if (end == text.size()) break;
    EndLine();
    pendingCr_ = text[end] == '\r' && end + 1 == text.size();
    pos = end + LineEndLength(text, end);
  }
}

void ListingSink::EndLine() {
  pendingCr_ = false;
  FinishLine();
}

void ListingSink::NewPage() {
  pendingCr_ = false;
  StartPage();
}

void PageSink::Append(std::string_view text) {
  line_ += text;
  lineOpen_ = true;
}

void PageSink::FinishLine() {
  pages_.back().push_back(line_);
  line_.clear();
  lineOpen_ = false;
}

void PageSink::StartPage() {
  if (lineOpen_) FinishLine();
  pages_.emplace_back();
}

std::vector<ListingPage> PageSink::Pages() const {
  std::vector<ListingPage> pages = pages_;
  if (lineOpen_) pages.back().push_back(line_);
  return pages;
}

}  // namespace backprop
