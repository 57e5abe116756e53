// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace backprop {

// Every number the program makes whole (a table index, a layer count or
// size, a seed, an INITW kind, a show rate, a cycle) is rounded to the
// nearest integer, halves to the even neighbour, and must then lie within
// the bounds of the table or field it serves. These helpers are the one
// place that does both, so every such check rounds and reports alike.

// The rounded number, or nothing when it lies outside low..high or the
// value is not a number.
inline std::optional<std::int64_t> RoundedWithin(double value, std::int64_t low,
                                                 std::int64_t high) {
  // The default rounding mode sends halves to the even neighbour.
  const double rounded = std::nearbyint(value);
  if (!(rounded >= static_cast<double>(low) && rounded <= static_cast<double>(high))) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(rounded);
}

// The one form of the message for a number outside its range:
// "<what> is <rounded value>, outside <low>..<high>".
std::string OutOfRangeText(std::string_view what, double value, std::int64_t low,
                           std::int64_t high);

// Throws EngineError with OutOfRangeText; kept out of line so the checks stay small.
[[noreturn]] void ThrowOutOfRange(std::string_view what, double value, std::int64_t low,
                                  std::int64_t high);

// RoundedWithin, or a run error (EngineError) saying which number and why.
inline std::int64_t CheckedWhole(double value, std::int64_t low, std::int64_t high,
                                 std::string_view what) {
  const std::optional<std::int64_t> whole = RoundedWithin(value, low, high);
  if (!whole) ThrowOutOfRange(what, value, low, high);
  return *whole;
}

}  // namespace backprop
