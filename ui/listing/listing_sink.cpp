#include "ui/listing/listing_sink.h"

namespace backprop {

void PreviewSink::Write(std::string_view text) {
  for (const char c : text) {
    if (c == '\n') {
      if (!pendingCr_) text_ += "\r\n";
      pendingCr_ = false;
    } else if (c == '\r') {
      text_ += "\r\n";
      pendingCr_ = true;
    } else {
      text_ += c;
      pendingCr_ = false;
    }
  }
}

void PreviewSink::EndLine() {
  text_ += "\r\n";
  pendingCr_ = false;
}

void PageSink::Write(std::string_view text) {
  for (const char c : text) {
    if (c == '\n') {
      if (!pendingCr_) EndLine();
      pendingCr_ = false;
    } else if (c == '\r') {
      EndLine();
      pendingCr_ = true;
    } else {
      line_ += c;
      lineOpen_ = true;
      pendingCr_ = false;
    }
  }
}

void PageSink::EndLine() {
  pages_.back().push_back(line_);
  line_.clear();
  lineOpen_ = false;
  pendingCr_ = false;
}

void PageSink::NewPage() {
  if (lineOpen_) EndLine();
  pages_.emplace_back();
  pendingCr_ = false;
}

std::vector<ListingPage> PageSink::Pages() const {
  std::vector<ListingPage> pages = pages_;
  if (lineOpen_) pages.back().push_back(line_);
  return pages;
}

std::string PlainLines(std::string_view text) {
  std::string plain;
  plain.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      plain += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      plain += text[i];
    }
  }
  return plain;
}

}  // namespace backprop
