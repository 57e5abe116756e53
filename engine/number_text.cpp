// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace backprop {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsLineBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Collects the characters of a number into a form that std::from_chars
// accepts (it is locale-free, unlike strtod).
struct NumberScan {
  std::string mantissa;  // digits and at most one point, sign excluded
  bool negative = false;
  bool hasDigit = false;
  std::string exponent;  // optional sign and digits
  std::size_t end = 0;   // just past the number's last character
};

// The leading form skips blanks anywhere in the number; the strict form
// skips blanks and tabs before it only.
NumberScan ScanNumber(std::string_view text, bool strict) {
  NumberScan scan;
  std::size_t pos = 0;
  if (strict) {
    while (pos < text.size() && IsLineBlank(text[pos])) ++pos;
  }
  auto next = [&]() -> char {
    if (!strict) {
      while (pos < text.size() && IsBlank(text[pos])) ++pos;
    }
    return pos < text.size() ? text[pos] : '\0';
  };
  char c = next();
  if (c == '+' || c == '-') {
    scan.negative = (c == '-');
    ++pos;
    c = next();
  }
  bool seenPoint = false;
  while (IsDigit(c) || (c == '.' && !seenPoint)) {
    if (c == '.') seenPoint = true;
    else scan.hasDigit = true;
    scan.mantissa += c;
    ++pos;
    c = next();
  }
  scan.end = pos;
  if (scan.hasDigit && (c == 'E' || c == 'e')) {
    ++pos;
    c = next();
    std::string exponent;
    if (c == '+' || c == '-') {
      exponent += c;
      ++pos;
      c = next();
    }
    while (IsDigit(c)) {
      exponent += c;
      ++pos;
      c = next();
    }
    if (!exponent.empty() && IsDigit(exponent.back())) {
      scan.exponent = exponent;
      scan.end = pos;
    }
  }
  return scan;
}

// Decimal exponent of the leading significant digit, used to tell an
// overflow from an underflow when from_chars reports a value out of range.
long long LeadingDecimalExponent(const NumberScan& scan) {
  long long exponent = 0;
  if (!scan.exponent.empty()) {
    // Clamp absurd exponents beyond any text's length: only the sign of the
    // result matters here.
    const std::string& e = scan.exponent;
    const std::size_t start = (e[0] == '+' || e[0] == '-') ? 1 : 0;
    long long magnitude = 0;
    for (std::size_t i = start; i < e.size() && magnitude < 1000000000000000LL; ++i) {
      magnitude = magnitude * 10 + (e[i] - '0');
    }
    exponent = (e[0] == '-') ? -magnitude : magnitude;
  }
  const std::size_t point = scan.mantissa.find('.');
  const auto integerDigits =
      static_cast<long long>(point == std::string::npos ? scan.mantissa.size() : point);
  long long place = integerDigits - 1;  // power of ten of the current digit
  for (char c : scan.mantissa) {
    if (c == '.') continue;
    if (c != '0') return exponent + place;
    --place;
  }
  return std::numeric_limits<long long>::min();  // all zeros
}

// The value of a scanned number with at least one digit: one too large for
// a double is plus or minus infinity, one too small plus or minus zero.
double ScannedValue(const NumberScan& scan) {
  std::string canonical = scan.mantissa;
  if (!scan.exponent.empty()) canonical += "e" + scan.exponent;
  double value = 0.0;
  const auto result = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    const long long leading = LeadingDecimalExponent(scan);
    value = (leading > 0) ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (result.ec != std::errc()) {
    value = 0.0;
  }
  return scan.negative ? -value : value;
}

}  // namespace

double ReadLeadingNumber(std::string_view text) {
  const NumberScan scan = ScanNumber(text, false);
  return scan.hasDigit ? ScannedValue(scan) : 0.0;
}

std::optional<double> ReadStrictNumber(std::string_view text) {
  const NumberScan scan = ScanNumber(text, true);
  if (!scan.hasDigit) return std::nullopt;
  for (std::size_t pos = scan.end; pos < text.size(); ++pos) {
    if (!IsLineBlank(text[pos])) return std::nullopt;
  }
  const double value = ScannedValue(scan);
  if (std::isinf(value)) return std::nullopt;
  return value;
}

namespace {

// The written form of the digits to_chars gave: a capital E, no zero before
// a leading point, and a blank where a minus sign would stand.
std::string WrittenForm(const char* first, const char* last) {
  std::string digits(first, last);
  std::replace(digits.begin(), digits.end(), 'e', 'E');
  const bool negative = !digits.empty() && digits[0] == '-';
  std::string body = negative ? digits.substr(1) : digits;
  if (body.size() > 1 && body[0] == '0' && body[1] == '.') body.erase(0, 1);
  return (negative ? "-" : " ") + body;
}

// The written form of a number to `digits` significant digits.
std::string GeneralForm(double value, int digits) {
  if (value == 0.0) return " 0";
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
  return WrittenForm(buffer, result.ptr);
}

}  // namespace

std::string NumberText(double value) { return GeneralForm(value, 15); }

std::string ShortNumberText(double value) { return GeneralForm(value, 6); }

std::string ShortestNumberText(double value) {
  if (value == 0.0) return " 0";
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return WrittenForm(buffer, result.ptr);
}

std::string RoundTripText(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return {buffer, result.ptr};
}

std::string PrintForm(double value) {
  // A whole number below 10^15 prints as its digits in the 15-digit form;
  // training reports its cycle this way every cycle, so it is done directly.
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    char buffer[24];
    buffer[0] = value < 0 ? '-' : ' ';
    const auto result = std::to_chars(buffer + 1, buffer + sizeof buffer - 1,
                                      static_cast<long long>(std::fabs(value)));
    *result.ptr = ' ';
    return {buffer, result.ptr + 1};
  }
  return NumberText(value) + " ";
}

namespace {

// Writes the digits of `whole` ending just before `end`: at least `width`
// of them, with leading zeros; none at all for 0 with width 0. Returns
// where they start.
char* DigitsBefore(char* end, unsigned long long whole, int width) {
  for (int place = 0; whole != 0 || place < width; ++place) {
    *--end = static_cast<char>('0' + whole % 10);
    whole /= 10;
  }
  return end;
}

// Splits |value| into integer and fraction digits rounded to `decimals`
// places, half away from zero, working on its 15-significant-digit form.
void RoundedDigits(double magnitude, int decimals, std::string& integerPart,
                   std::string& fractionPart) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14);
  const std::string text(buffer, result.ptr);
  const std::size_t ePos = text.find('e');
  std::string digits;
  for (std::size_t i = 0; i < ePos; ++i) {
    if (IsDigit(text[i])) digits += text[i];
  }
  const int exponent = std::atoi(text.c_str() + ePos + 1);
  // digits[0] has weight 10^exponent; make a fixed string with the point
  // after `pointIndex` digits, padding with zeros on either side.
  int pointIndex = exponent + 1;
  if (pointIndex <= 0) {
    digits.insert(0, static_cast<std::size_t>(1 - pointIndex), '0');
    pointIndex = 1;
  }
  // The digits that stay, and the one after them that decides the rounding.
  const auto kept = static_cast<std::size_t>(pointIndex) + static_cast<std::size_t>(decimals);
  if (digits.size() < kept + 1) digits.append(kept + 1 - digits.size(), '0');
  const bool roundUp = digits[kept] >= '5';
  digits.resize(kept);
  if (roundUp) {
    int i = static_cast<int>(digits.size()) - 1;
    while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') {
      digits[static_cast<std::size_t>(i)] = '0';
      --i;
    }
    if (i >= 0) {
      ++digits[static_cast<std::size_t>(i)];
    } else {
      digits.insert(0, 1, '1');
      ++pointIndex;
    }
  }
  integerPart = digits.substr(0, static_cast<std::size_t>(pointIndex));
  fractionPart = digits.substr(static_cast<std::size_t>(pointIndex));
  const std::size_t firstNonZero = integerPart.find_first_not_of('0');
  integerPart = (firstNonZero == std::string::npos) ? "" : integerPart.substr(firstNonZero);
}

}  // namespace

NumberPattern::Section NumberPattern::Parse(std::string_view section) {
  Section parsed;
  const std::size_t first = section.find_first_of("0#.");
  const std::size_t last = section.find_last_of("0#.");
  if (first == std::string_view::npos) {
    parsed.prefix = section;
    return parsed;
  }
  parsed.prefix = section.substr(0, first);
  parsed.suffix = section.substr(last + 1);
  bool afterPoint = false;
  for (std::size_t i = first; i <= last; ++i) {
    const char c = section[i];
    if (c == '.') {
      afterPoint = true;
      parsed.hasPoint = true;
    } else if (afterPoint) {
      ++parsed.decimals;
      if (c == '0') parsed.minDecimals = parsed.decimals;
    } else if (c == '0') {
      ++parsed.minIntegerDigits;
    }
  }
  return parsed;
}

NumberPattern::NumberPattern(std::string_view pattern) {
  const std::size_t split = pattern.find(';');
  positive_ = Parse(pattern.substr(0, split));
  hasNegative_ = split != std::string_view::npos;
  if (hasNegative_) negative_ = Parse(pattern.substr(split + 1));
}

// For magnitudes below 1000 and at most six decimals the digits come from
// the product magnitude * 10^decimals, unless it lies within 1e-6 of a half
// at the last place kept. There both that product and the
// 15-significant-digit form times 10^decimals lie within 1e-6 of the exact
// value times 10^decimals, so the two round alike. Training's report takes
// this path every cycle. Returns the text's length in `out`, or 0 when the
// path does not apply.
int NumberPattern::QuickFormat(double magnitude, const Section& section, bool minus, char* out) {
  static constexpr double kPowers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
  if (!(magnitude < 1000.0) || section.decimals > 6 || section.minIntegerDigits > 8 ||
      section.prefix.size() + section.suffix.size() > 24) {
    return 0;
  }
  const double scaled = magnitude * kPowers[section.decimals];
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole;
  if (std::fabs(fraction - 0.5) <= 1e-6) return 0;
  const auto rounded = static_cast<unsigned long long>(whole) + (fraction > 0.5 ? 1 : 0);
  const auto power = static_cast<unsigned long long>(kPowers[section.decimals]);

  char digits[24];
  char* const end = digits + sizeof digits;
  char* decimals = DigitsBefore(end, rounded % power, section.decimals);
  char* decimalsEnd = end;
  while (decimalsEnd - decimals > section.minDecimals && decimalsEnd[-1] == '0') --decimalsEnd;
  char* integer = DigitsBefore(decimals, rounded / power, section.minIntegerDigits);

  char* p = out;
  if (minus) *p++ = '-';
  p = std::copy(section.prefix.begin(), section.prefix.end(), p);
  p = std::copy(integer, decimals, p);
  if (section.hasPoint) {
    *p++ = '.';
    p = std::copy(decimals, decimalsEnd, p);
  }
  p = std::copy(section.suffix.begin(), section.suffix.end(), p);
  return static_cast<int>(p - out);
}

std::string NumberPattern::Format(double value) const {
  const bool negative = value < 0.0;
  const bool useNegativeSection = negative && hasNegative_;
  const Section& section = useNegativeSection ? negative_ : positive_;
  const bool minus = negative && !useNegativeSection;
  char quick[64];
  if (std::isfinite(value)) {
    const int size = QuickFormat(std::fabs(value), section, minus, quick);
    if (size > 0) return {quick, static_cast<std::size_t>(size)};
  }

  std::string integerPart;
  std::string fractionPart;
  if (std::isfinite(value)) {
    RoundedDigits(std::fabs(value), section.decimals, integerPart, fractionPart);
  } else {
    integerPart = std::isnan(value) ? "NaN" : "Inf";
  }
  if (static_cast<int>(integerPart.size()) < section.minIntegerDigits) {
    integerPart.insert(0, static_cast<std::size_t>(section.minIntegerDigits) - integerPart.size(),
                       '0');
  }
  while (static_cast<int>(fractionPart.size()) > section.minDecimals &&
         fractionPart.back() == '0') {
    fractionPart.pop_back();
  }
  std::string out;
  if (minus) out += '-';
  out.append(section.prefix).append(integerPart);
  if (section.hasPoint) out.append(1, '.').append(fractionPart);
  out.append(section.suffix);
  return out;
}

std::string FormatPattern(double value, std::string_view pattern) {
  return NumberPattern(pattern).Format(value);
}

}  // namespace backprop
