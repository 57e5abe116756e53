// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary text as a number and prints arbitrary doubles in every
// form the program uses; the print form must read back to 15 digits. A text
// the strict reader takes reads the same with the leading-number reader.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "engine/number_text.h"

namespace {

constexpr const char* kPatterns[] = {"#.######",      " ##.######", "  00.00 ; -00.00 ",
                                     "  0.00; -0.00", " ##. ",      "0.00  "};

// Fifteen digits round the largest doubles up past the largest double, so
// their print form reads back as an overflow; below that it must hold.
constexpr double kLargestRoundTrip = 1.79769313486231e308;

void CheckRoundTrip(double value) {
  if (!std::isfinite(value) || std::fabs(value) > kLargestRoundTrip) return;
  const std::string printed = backprop::PrintForm(value);
  const double back = backprop::ReadLeadingNumber(printed);
  const double tolerance = std::fabs(value) * 1e-14;
  if (!(std::fabs(back - value) <= tolerance)) std::abort();
  if (printed.empty() || printed.back() != ' ') std::abort();
  if ((value < 0) != (printed[0] == '-')) std::abort();
}

void CheckPatterns(double value) {
  for (const char* pattern : kPatterns) {
    const std::string text = backprop::FormatPattern(value, pattern);
    if (!std::isfinite(value) || std::fabs(value) > 1e15) continue;
    // Two-decimal patterns read back within half a hundredth.
    if (std::strstr(pattern, ".00") != nullptr) {
      const double back = backprop::ReadLeadingNumber(text);
      if (!(std::fabs(back - value) <= 0.005 + std::fabs(value) * 1e-13)) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double read = backprop::ReadLeadingNumber(text);
  if (const std::optional<double> strict = backprop::ReadStrictNumber(text)) {
    if (std::memcmp(&*strict, &read, sizeof read) != 0) std::abort();
  }
  CheckRoundTrip(read);
  CheckPatterns(read);
  if (size >= sizeof(double)) {
    double raw;
    std::memcpy(&raw, data, sizeof raw);
    CheckRoundTrip(raw);
    CheckPatterns(raw);
  }
  return 0;
}
