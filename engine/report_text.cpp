#include "engine/report_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "engine/number_text.h"

namespace backprop {

namespace {

constexpr int kErrorDecimals = 6;
// Below this the error pattern is rounded directly from the double.
constexpr double kDirectLimit = 1000.0;

}  // namespace

std::string_view ReportNumberBuffer::Fallback(std::string text) {
  fallback_ = std::move(text);
  return fallback_;
}

void ReportNumberBuffer::PutPair(unsigned pair) {
  static constexpr char kDigitPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  const std::size_t first = std::size_t{2} * pair;
  Put(kDigitPairs[first]);
  Put(kDigitPairs[first + 1]);
}

void ReportNumberBuffer::PutDigits(unsigned long long whole) {
  char reversed[24];
  int count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + whole % 10);
    whole /= 10;
  } while (whole != 0);
  while (count > 0) Put(reversed[--count]);
}

std::string_view ReportNumberBuffer::PrintForm(double value) {
  // Whole numbers below 10^15 print as their digits in the 15-digit form.
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    size_ = 0;
    Put(value < 0 ? '-' : ' ');
    PutDigits(static_cast<unsigned long long>(std::fabs(value)));
    Put(' ');
    return {chars_.data(), size_};
  }
  return Fallback(backprop::PrintForm(value));
}

std::string_view ReportNumberBuffer::FixedSix(unsigned long long millionths) {
  size_ = 0;
  Put(' ');
  const unsigned long long whole = millionths / 1000000;
  if (whole != 0) PutDigits(whole);
  Put('.');
  // Six decimals two at a time, then the trailing zeros dropped again.
  const auto fraction = static_cast<unsigned>(millionths - whole * 1000000);
  if (fraction != 0) {
    PutPair(fraction / 10000);
    PutPair(fraction / 100 % 100);
    PutPair(fraction % 100);
    while (chars_[size_ - 1] == '0') --size_;
  }
  return {chars_.data(), size_};
}

std::string_view ReportNumberBuffer::ErrorPattern(double value) {
  if (value == 0.0 || (value > 0.0 && value < 1e-8)) return " .";  // rounds to no digit
  if (!(value > 0.0 && value < 1e15)) return Fallback(FormatPattern(value, " ##.######"));
  if (value < kDirectLimit) {
    // Rounding v * 10^6 decides as rounding the 15-digit form does, unless
    // the fraction lies near one half: the 15-digit form and the product
    // both stay within 1e-6 of v * 10^6 below the limit.
    const double scaled = value * 1e6;
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) > 1e-6) {
      const auto rounded = static_cast<unsigned long long>(whole) + (fraction > 0.5 ? 1 : 0);
      return FixedSix(rounded);
    }
  }

  // The 15-significant-digit form "d.dddddddddddddde+XX", rounded half away
  // from zero to six decimals, as FormatPattern does.
  char scientific[32];
  const auto result = std::to_chars(scientific, scientific + sizeof scientific - 1, value,
                                    std::chars_format::scientific, 14);
  *result.ptr = '\0';  // to_chars does not terminate; atoi needs it
  const char* e = scientific;
  while (e < result.ptr && *e != 'e') ++e;
  const int exponent = std::atoi(e + 1);

  // Fixed digits with the point after `point` of them: zeros in front for
  // values below 1, then the 15 significant digits, then zeros.
  char digits[48];
  int count = 0;
  int point = exponent + 1;
  if (point <= 0) {
    for (int z = 0; z < 1 - point; ++z) digits[count++] = '0';
    point = 1;
  }
  for (const char* c = scientific; c < e; ++c) {
    if (*c != '.') digits[count++] = *c;
  }
  const int kept = point + kErrorDecimals;
  while (count < kept + 1) digits[count++] = '0';
  const bool roundUp = digits[kept] >= '5';
  count = kept;
  if (roundUp) {
    int i = count - 1;
    while (i >= 0 && digits[i] == '9') digits[i--] = '0';
    if (i >= 0) {
      ++digits[i];
    } else {  // 9.9999995 becomes 10: one more integer digit
      for (int k = count; k > 0; --k) digits[k] = digits[k - 1];
      digits[0] = '1';
      ++count;
      ++point;
    }
  }

  size_ = 0;
  Put(' ');
  int first = 0;
  while (first < point && digits[first] == '0') ++first;
  for (int i = first; i < point; ++i) Put(digits[i]);
  Put('.');
  int last = count;
  while (last > point && digits[last - 1] == '0') --last;
  for (int i = point; i < last; ++i) Put(digits[i]);
  return {chars_.data(), size_};
}

}  // namespace backprop
