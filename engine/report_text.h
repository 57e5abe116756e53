#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace backprop {

// Formats the numbers of the per-cycle training report into a buffer of its
// own, so a cycle's report allocates nothing. The texts are exactly those of
// PrintForm and FormatPattern; values off the common path (huge, tiny or
// negative error sums, counters beyond 15 digits) fall back to those.
// A returned view stays valid until the next call on the same buffer.
class ReportNumberBuffer {
 public:
  // PrintForm(value): " 12 ", " .05 ", "-3 ".
  std::string_view PrintForm(double value);
  // FormatPattern(value, " ##.######"): " .012346", " 1.5", " .".
  std::string_view ErrorPattern(double value);

 private:
  std::string_view Fallback(std::string text);
  void Put(char c) { chars_[size_++] = c; }
  void PutDigits(unsigned long long whole);
  void PutPair(unsigned pair);  // two digits of 0..99
  // " ", the whole part (none when 0), ".", the six decimals without
  // trailing zeros, of a count of millionths.
  std::string_view FixedSix(unsigned long long millionths);

  std::array<char, 48> chars_{};
  std::size_t size_ = 0;
  std::string fallback_;
};

}  // namespace backprop
