#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engine/number_text.h"
#include "engine/report_text.h"

namespace backprop {
namespace {

// The report buffer must give exactly the texts of the general formatters.
void ExpectSameTexts(ReportNumberBuffer& buffer, double value) {
  EXPECT_EQ(buffer.PrintForm(value), PrintForm(value)) << value;
  EXPECT_EQ(buffer.ErrorPattern(value), FormatPattern(value, " ##.######")) << value;
}

TEST(ReportNumberBuffer, KnownTexts) {
  ReportNumberBuffer buffer;
  EXPECT_EQ(buffer.PrintForm(12), " 12 ");
  EXPECT_EQ(buffer.PrintForm(-3), "-3 ");
  EXPECT_EQ(buffer.PrintForm(0.05), " .05 ");
  EXPECT_EQ(buffer.ErrorPattern(0.0123456), " .012346");
  EXPECT_EQ(buffer.ErrorPattern(1.5), " 1.5");
  EXPECT_EQ(buffer.ErrorPattern(0), " .");
  EXPECT_EQ(buffer.ErrorPattern(9.9999996), " 10.");
}

TEST(ReportNumberBuffer, MatchesTheGeneralFormatters) {
  ReportNumberBuffer buffer;
  const double edges[] = {0,         1,         999,        1e14,           999999999999999,
                          1e15,      -1e15,     1e300,      -0.5,           1e-8,
                          9.9e-9,    4.9999e-7, 5e-7,       5.0000001e-7,   0.0000015,
                          0.1234565, 0.9999995, 99.9999996, 123456.7890125, 1e-320,
                          2.5e-7,    0.000999,  4.967233,   2147483648.0,   0.3};
  for (double value : edges) ExpectSameTexts(buffer, value);

  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-10, 16);
  for (int n = 0; n < 20000; ++n) {
    const double value = mantissa(random) * std::pow(10.0, exponent(random));
    ExpectSameTexts(buffer, value);
    ExpectSameTexts(buffer, std::round(value));
    // Values that sit on a rounding edge of the sixth decimal.
    ExpectSameTexts(buffer, std::round(value * 1e6) / 1e6 + 5e-7);
  }
}

}  // namespace
}  // namespace backprop
