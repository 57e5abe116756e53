#include "engine/data_fields.h"

namespace backprop {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

std::size_t DataFieldReader::SkipBlanks(std::size_t pos) const {
  while (pos < text_.size() && IsBlank(text_[pos])) ++pos;
  return pos;
}

std::size_t DataFieldReader::SkipBlanksAndLineEnds(std::size_t pos) const {
  while (pos < text_.size() && (IsBlank(text_[pos]) || IsLineEnd(text_[pos]))) ++pos;
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
  // A line end: CR LF counts as one.
  if (text_[pos] == '\r' && pos + 1 < text_.size() && text_[pos + 1] == '\n') ++pos;
  pos_ = pos + 1;
}

std::string_view DataFieldReader::Next() {
  // After a comma a line end closes an empty field; elsewhere it is an
  // empty line, which holds no field.
  std::size_t start = afterComma_ ? SkipBlanks(pos_) : SkipBlanksAndLineEnds(pos_);
  if (start < text_.size() && text_[start] == '"') {
    const std::size_t close = text_.find('"', start + 1);
    const std::size_t contentEnd = (close == std::string_view::npos) ? text_.size() : close;
    const std::string_view field = text_.substr(start + 1, contentEnd - start - 1);
    std::size_t pos = contentEnd < text_.size() ? contentEnd + 1 : contentEnd;
    while (pos < text_.size() && text_[pos] != ',' && !IsLineEnd(text_[pos])) ++pos;
    ConsumeSeparator(pos);
    return field;
  }
  std::size_t end = start;
  while (end < text_.size() && text_[end] != ',' && !IsLineEnd(text_[end])) ++end;
  std::size_t contentEnd = end;
  while (contentEnd > start && IsBlank(text_[contentEnd - 1])) --contentEnd;
  ConsumeSeparator(end);
  return text_.substr(start, contentEnd - start);
}

}  // namespace backprop
