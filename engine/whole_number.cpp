// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/whole_number.h"

#include "engine/engine_error.h"
#include "engine/number_text.h"

namespace backprop {

std::string OutOfRangeText(std::string_view what, double value, std::int64_t low,
                           std::int64_t high) {
  std::string shown;
  if (std::isnan(value)) {
    shown = "not a number";
  } else if (std::isinf(value)) {
    shown = "infinite";
  } else {
    shown = NumberText(std::nearbyint(value));
    if (shown.front() == ' ') shown.erase(0, 1);
  }
  return std::string(what) + " is " + shown + ", outside " + std::to_string(low) + ".." +
         std::to_string(high);
}

void ThrowOutOfRange(std::string_view what, double value, std::int64_t low, std::int64_t high) {
  throw EngineError(OutOfRangeText(what, value, low, high));
}

}  // namespace backprop
