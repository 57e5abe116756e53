// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/data_fields.h"

#include "engine/text_lines.h"

namespace backprop {

std::size_t DataFieldReader::SkipBlanks(std::size_t pos) const {
  while (pos < text_.size() && IsBlank(text_[pos])) ++pos;
  return pos;
}

std::size_t DataFieldReader::SkipBlanksAndLineEnds(std::size_t pos) const {
  while (pos < text_.size() && (IsBlank(text_[pos]) || IsLineEndChar(text_[pos]))) ++pos;
  return pos;
}

bool DataFieldReader::AtEnd() {
  // After a comma the next field may be an empty one at a line end, so only
  // a position between fields may skip line ends; Next() would skip them too.
  if (afterComma_) return false;
  pos_ = SkipBlanksAndLineEnds(pos_);
  return pos_ >= text_.size();
}

void DataFieldReader::ConsumeSeparator(std::size_t pos) {
  afterComma_ = false;
  if (pos >= text_.size()) {
    pos_ = text_.size();
    return;
  }
  if (text_[pos] == ',') {
    afterComma_ = true;
    pos_ = pos + 1;
    return;
  }
  pos_ = pos + LineEndLength(text_, pos);
}

void DataFieldReader::CountLinesTo(std::size_t pos) {
  for (; counted_ < pos; ++counted_) {
    // CR LF counts once, at its CR.
    if (text_[counted_] == '\r' ||
        (text_[counted_] == '\n' && (counted_ == 0 || text_[counted_ - 1] != '\r'))) {
      ++line_;
    }
  }
}

std::string_view DataFieldReader::Next() {
  // After a comma a line end closes an empty field; elsewhere it is an
  // empty line, which holds no field.
  std::size_t start = afterComma_ ? SkipBlanks(pos_) : SkipBlanksAndLineEnds(pos_);
  CountLinesTo(start);
  if (start < text_.size() && text_[start] == '"') {
    const std::size_t close = text_.find('"', start + 1);
    const std::size_t contentEnd = (close == std::string_view::npos) ? text_.size() : close;
    const std::string_view field = text_.substr(start + 1, contentEnd - start - 1);
    std::size_t pos = contentEnd < text_.size() ? contentEnd + 1 : contentEnd;
    while (pos < text_.size() && text_[pos] != ',' && !IsLineEndChar(text_[pos])) ++pos;
    ConsumeSeparator(pos);
    return field;
  }
  std::size_t end = start;
  while (end < text_.size() && text_[end] != ',' && !IsLineEndChar(text_[end])) ++end;
  std::size_t contentEnd = end;
  while (contentEnd > start && IsBlank(text_[contentEnd - 1])) --contentEnd;
  ConsumeSeparator(end);
  return text_.substr(start, contentEnd - start);
}

}  // namespace backprop
