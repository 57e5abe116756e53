// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace backprop {

// Reads the leading decimal number of a text: blanks are skipped anywhere,
// then an optional sign, digits with an optional point and fraction, and an
// optional exponent; reading stops at the first other character. A text that
// does not begin with a number gives 0. A number too large for a double
// gives plus or minus infinity, which callers treat as an overflow.
double ReadLeadingNumber(std::string_view text);

// Reads a text that holds one number and nothing else, for files whose
// lines each hold a number: optional blanks and tabs, an optional sign,
// digits with an optional point (".5" and "5." are fine), an optional
// exponent (E or e, optional sign, digits), optional blanks and tabs. Blanks
// inside the number, words ("inf", "nan") or a second number give nothing;
// so does a number too large for a double, while one too small reads as 0.
std::optional<double> ReadStrictNumber(std::string_view text);

// The digits of a number as the text-output statement writes them, with one
// blank in front of a value that is zero or positive: " 12", " .05", "-.5",
// " 1E-05" (shortest general form, up to 15 significant digits, no zero
// before a leading point).
std::string NumberText(double value);

// The same form to 6 significant digits, for tooltips: " .734512".
std::string ShortNumberText(double value);

// The same form with every digit needed to read back exactly the same
// double (the shortest such text): " .7345123456789012", "-1E-300".
std::string ShortestNumberText(double value);

// The shortest plain decimal text that reads back to exactly the same
// double, for files and scripts: "0.05", "-3", "1e-05".
std::string RoundTripText(double value);

// NumberText followed by the one blank that printed numbers carry: " 12 ".
std::string PrintForm(double value);

// A fixed number pattern read once, to format many numbers alike: digit
// places "0" (always written) and "#" (written when needed), an optional
// decimal point, literal text around them and an optional second section
// (after ";") for negative values, which then carry no minus sign of their
// own. Rounding is half away from zero on the 15-digit decimal form.
class NumberPattern {
 public:
  explicit NumberPattern(std::string_view pattern);
  std::string Format(double value) const;

 private:
  // One section: literal text, digit places, literal text.
  struct Section {
    std::string prefix;
    std::string suffix;
    int minIntegerDigits = 0;
    bool hasPoint = false;
    int decimals = 0;
    int minDecimals = 0;
  };
  static Section Parse(std::string_view section);
  static int QuickFormat(double magnitude, const Section& section, bool minus, char* out);

  Section positive_;
  Section negative_;
  bool hasNegative_ = false;
};

// Formats a number with a fixed pattern, as NumberPattern does. The patterns
// in use are "#.######", " ##.######", "  00.00 ; -00.00 ", "  0.00; -0.00",
// " ##. " and "0.00  ".
std::string FormatPattern(double value, std::string_view pattern);

}  // namespace backprop
