// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace backprop::testing {

// What a user may type into a number dialog, and what it must store: the
// number the text begins with (0 for a text that begins with none), or
// nothing (the old value kept, with a warning) for a number too large for
// a double. Never an infinity or a NaN.
struct HostileAnswer {
  std::string text;
  std::optional<double> stored;
};

inline std::vector<HostileAnswer> HostileAnswers() {
  return {
      {"1e309", std::nullopt},
      {"-1e309", std::nullopt},
      {std::string(10000, '9'), std::nullopt},
      {"nan", 0},
      {"-inf", 0},
      {"inf", 0},
      {"1e-400", 0},
      {"0." + std::string(9998, '0') + "1", 0},
      {std::string(10000, 'x'), 0},
      {"+-1", 0},
      {" ", 0},
      {".e5", 0},
      {"\x01\x1b[2J5", 0},
      {"\t\r\n 2 5", 25},
      {std::string("3\0"
                   "9",
                   3),
       3},
      {"1e", 1},
      {"-0x10", -0.0},
      {"\xd9\xa3", 0},  // an Arabic-Indic digit three
  };
}

}  // namespace backprop::testing
