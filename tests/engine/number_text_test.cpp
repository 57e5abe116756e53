// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "engine/number_text.h"
#include "engine/visible_text.h"

namespace backprop {
namespace {

struct ReadCase {
  const char* text;
  double expected;
};

TEST(NumberText, ReadsTheLeadingNumber) {
  const ReadCase cases[] = {
      {"10", 10},    {".02", 0.02},    {"1,0", 1},    {"  -3.5", -3.5}, {"1 2", 12}, {"0.5x", 0.5},
      {"abc", 0},    {"", 0},          {"-", 0},      {".", 0},         {"+7", 7},   {"- 4", -4},
      {"1E3", 1000}, {"2.5e-1", 0.25}, {"1e", 1},     {"1e+", 1},       {"e5", 0},   {"3.2.1", 3.2},
      {"\t5", 5},    {"--5", 0},       {"12abc", 12}, {"1 e 2", 100},   {"7=8", 7},  {"-.5", -0.5},
      {"1e-400", 0}, {"00012", 12},
  };
  for (const ReadCase& c : cases) {
    EXPECT_DOUBLE_EQ(ReadLeadingNumber(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(NumberText, OverflowReadsAsInfinity) {
  EXPECT_EQ(ReadLeadingNumber("1e400"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(ReadLeadingNumber("-9e999"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(ReadLeadingNumber("0.0000e999"), 0.0);
}

struct PrintCase {
  double value;
  const char* expected;
};

TEST(VisibleText, EscapesControlCharactersAndBrokenUtf8Only) {
  const struct {
    std::string text;
    std::string shown;
  } cases[] = {
      {"Demo.pr1 \\ \"x\" \xc3\xa9\xe2\x82\xac", "Demo.pr1 \\ \"x\" \xc3\xa9\xe2\x82\xac"},
      {"a\r\nb\tc", "a\\r\\nb\\tc"},
      {"\x1b[2J\x7f", "\\x1B[2J\\x7F"},
      {std::string("\0\xe9\xc2\x9b\xc0\xaf\xed\xa0\x80", 9),
       "\\x00\\xE9\\xC2\\x9B\\xC0\\xAF\\xED\\xA0\\x80"},  // lone, C1, overlong, surrogate
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VisibleText(c.text), c.shown);
    EXPECT_EQ(VisibleText(c.shown), c.shown) << "escaping twice changes nothing";
  }
}

TEST(NumberText, PrintFormHasBlanksAroundAndNoLeadingZero) {
  const PrintCase cases[] = {
      {12, " 12 "},
      {0.05, " .05 "},
      {-0.5, "-.5 "},
      {0.00001, " 1E-05 "},
      {1000, " 1000 "},
      {0, " 0 "},
      {-0.0, " 0 "},
      {-12.25, "-12.25 "},
      {1e20, " 1E+20 "},
      {0.1 + 0.2, " .3 "},
      {123456789012345.0, " 123456789012345 "},
      {1e15, " 1E+15 "},
      {-1, "-1 "},
  };
  for (const PrintCase& c : cases) EXPECT_EQ(PrintForm(c.value), c.expected) << c.value;
  EXPECT_EQ(NumberText(1), " 1");
  EXPECT_EQ(NumberText(-2), "-2");
  // Tooltips' six digits, in the same form.
  EXPECT_EQ(ShortNumberText(0.734512345), " .734512");
  EXPECT_EQ(ShortNumberText(-1234567.0), "-1.23457E+06");
  EXPECT_EQ(ShortNumberText(-0.0), " 0");
}

TEST(NumberText, LargestDoublesPrintPastTheLargestDouble) {
  // Fifteen digits round them up, so their print form reads as an overflow.
  const double largest = std::numeric_limits<double>::max();
  EXPECT_EQ(PrintForm(-largest), "-1.79769313486232E+308 ");
  EXPECT_EQ(ReadLeadingNumber(PrintForm(-largest)), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(ReadLeadingNumber(PrintForm(1.79769313486231e308)), 1.79769313486231e308);
}

TEST(NumberText, PrintFormReadsBackToFifteenDigits) {
  const double values[] = {0.123456789012345, -98765.4321, 1e-7, 3.0, 2.0 / 3.0};
  for (double v : values) {
    const double back = ReadLeadingNumber(PrintForm(v));
    EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << v;
  }
}

struct PatternCase {
  double value;
  const char* pattern;
  const char* expected;
};

TEST(NumberText, FixedPatterns) {
  const PatternCase cases[] = {
      {0.001, "#.######", ".001"},
      {1, "#.######", "1."},
      {0, "#.######", "."},
      {12.3456789, "#.######", "12.345679"},
      {0.0123456, " ##.######", " .012346"},
      {1.5, " ##.######", " 1.5"},
      {0, " ##.######", " ."},
      {0.5, "  00.00 ; -00.00 ", "  00.50 "},
      {-1.234, "  00.00 ; -00.00 ", " -01.23 "},
      {12.345, "  00.00 ; -00.00 ", "  12.35 "},
      {123.4, "  00.00 ; -00.00 ", "  123.40 "},
      {0, "  00.00 ; -00.00 ", "  00.00 "},
      {0.731, "  0.00; -0.00", "  0.73"},
      {-0.2, "  0.00; -0.00", " -0.20"},
      {1, "  0.00; -0.00", "  1.00"},
      {3, " ##. ", " 3. "},
      {0, " ##. ", " . "},
      {10, " ##. ", " 10. "},
      {-0.2, "0.00  ", "-0.20  "},
      {0.005, "0.00  ", "0.01  "},
      {0.125, "0.00  ", "0.13  "},
      {2.675, "0.00  ", "2.68  "},
      {-5, "0.00  ", "-5.00  "},
      {9.999, "0.00  ", "10.00  "},
      {0.9999999, "#.######", "1."},
  };
  for (const PatternCase& c : cases) {
    EXPECT_EQ(FormatPattern(c.value, c.pattern), c.expected)
        << c.value << " with \"" << c.pattern << '"';
  }
}

}  // namespace
}  // namespace backprop

namespace backprop {
namespace {

// The report's error pattern on values a quarter of a last place away from
// a whole count of millionths: the digits that pattern keeps are known from
// the count itself, whichever way the formatter gets there.
TEST(NumberText, ErrorPatternRoundsLikeTheCountOfMillionths) {
  std::mt19937_64 random(7);
  const NumberPattern pattern(" ##.######");
  for (int n = 0; n < 20000; ++n) {
    const std::uint64_t millionths = random() % 5'000'000'000ull;  // up to 5000
    const double offset = n % 2 == 0 ? 0.25 : 0.75;
    const double value = (static_cast<double>(millionths) + offset) / 1e6;
    const std::uint64_t rounded = millionths + (offset > 0.5 ? 1 : 0);
    std::string fraction = std::to_string(1'000'000 + rounded % 1'000'000).substr(1);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    const std::uint64_t whole = rounded / 1'000'000;
    const std::string expected = " " + (whole == 0 ? "" : std::to_string(whole)) + "." + fraction;
    ASSERT_EQ(pattern.Format(value), expected) << value;
    ASSERT_EQ(FormatPattern(value, " ##.######"), expected);
  }
}

}  // namespace
}  // namespace backprop
