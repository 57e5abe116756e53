// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/data_generator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <random>

#include "engine/engine_error.h"
#include "engine/number_text.h"
#include "engine/workspace.h"

// Points are drawn in the net's own square -1..1 and then mapped to the
// user's ranges, so every shape looks the same whatever the ranges. The
// generator is std::mt19937, whose sequence the standard fixes, and the
// uniform and Gaussian numbers are made from it here rather than by the
// library's distributions, whose results may differ between libraries.

namespace backprop {

namespace {

constexpr double kFunctionSwing = 0.8;  // sine and line: of the output half-range
constexpr double kClusterCentre = 0.35;
constexpr double kClusterSpread = 0.35;  // standard deviation, in net units

class Random {
 public:
  explicit Random(std::uint32_t seed) : engine_(seed) {}
  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(engine_()) / 4294967296.0; }
  // Uniform in [-1, 1).
  double Signed() { return 2.0 * Unit() - 1.0; }
  // Standard normal (Box-Muller).
  double Normal() {
    const double radius = std::sqrt(-2.0 * std::log(1.0 - Unit()));
    return radius * std::cos(2.0 * std::numbers::pi * Unit());
  }

 private:
  std::mt19937 engine_;
};

// The loader scales a value v of a range as 2 (v - low) / (high - low) - 1,
// so a range wider than half the largest double would load as an overflow.
void CheckRange(double low, double high, const char* what) {
  if (!std::isfinite(low) || !std::isfinite(high) || low == high) {
    throw EngineError(std::string("the ") + what + " range needs two different finite ends");
  }
  if (!std::isfinite(2.0 * (high - low))) {
    throw EngineError(std::string("the ") + what + " range is too wide to scale");
  }
}

// Writes the values of one range: some four significant digits across its
// width, in plain decimals where that takes at most 15 of them and the
// ends lie below 10^15 (every range a net is given in practice), otherwise
// (widths below 10^-10, ends far out) in the exponent form, so that any
// finite range keeps its shape. A value that rounds past an end is
// written as that end, so every value lies within the range.
class RangeWriter {
 public:
  RangeWriter(double low, double high)
      : low_(std::min(low, high)), high_(std::max(low, high)) {
    const double width = high_ - low_;
    const int decimals = 5 - static_cast<int>(std::ceil(std::log10(width)));
    const double largest = std::max(std::abs(low_), std::abs(high_));
    exponent_ = !(decimals <= 15 && largest < 1e15);
    digits_ = exponent_ ? std::clamp(PowerOfTen(largest) - PowerOfTen(width) + 4, 1, 16)
                        : std::max(decimals, 0);
  }

  // Appends the value's text and returns what the text reads back as, read
  // as the data-set loader reads it.
  double Append(std::string& text, double value) const {
    std::string number = Written(value);
    double read = ReadLeadingNumber(number);
    if (read < low_ || read > high_) {
      read = read < low_ ? low_ : high_;
      number = RoundTripText(read);
    }
    text += number;
    return read;
  }

 private:
  static int PowerOfTen(double magnitude) {
    return static_cast<int>(std::floor(std::log10(magnitude)));
  }

  // The value in the range's form, trailing zeros dropped.
  std::string Written(double value) const {
    // Neither form of a value in the range outgrows the buffer.
    char buffer[64];
    const auto [end, error] = std::to_chars(
        buffer, buffer + sizeof buffer, value,
        exponent_ ? std::chars_format::scientific : std::chars_format::fixed, digits_);
    const std::string number(buffer, error == std::errc() ? end : buffer);
    const std::size_t e = std::min(number.find('e'), number.size());
    std::string mantissa = number.substr(0, e);
    if (mantissa.find('.') != std::string::npos) {
      mantissa.erase(mantissa.find_last_not_of('0') + 1);
      if (mantissa.back() == '.') mantissa.pop_back();
    }
    return mantissa == "-0" || mantissa == "0" ? "0" : mantissa + number.substr(e);
  }

  double low_;
  double high_;
  bool exponent_ = false;
  int digits_ = 0;  // decimals; in the exponent form, digits after the point
};

// One clean pattern in net units: inputs u[0], u[1] and the target t.
struct NetPoint {
  double u[2] = {};
  double t = 0.0;
};

double ClassTarget(bool high) { return high ? 1.0 : -1.0; }

NetPoint Draw(DataShape shape, int p, int patterns, Random& random) {
  NetPoint point;
  switch (shape) {
    case DataShape::XorQuadrants:
      point.u[0] = random.Signed();
      point.u[1] = random.Signed();
      point.t = ClassTarget((point.u[0] > 0) != (point.u[1] > 0));
      break;
    case DataShape::Circle: {
      // Inside a circle that holds half the square.
      point.u[0] = random.Signed();
      point.u[1] = random.Signed();
      const double radius = std::sqrt(2.0 / std::numbers::pi);
      point.t = ClassTarget(std::hypot(point.u[0], point.u[1]) < radius);
      break;
    }
    case DataShape::TwoSpirals: {
      // Two interleaved spirals of three turns each, the patterns taking
      // turns between them, from the outside in.
      const int perSpiral = (patterns + 1) / 2;
      const double along = perSpiral > 1 ? static_cast<double>(p / 2) / (perSpiral - 1) : 0.0;
      const double angle = 6.0 * std::numbers::pi * along;
      const double radius = 1.0 - 0.92 * along;
      const double sign = p % 2 == 0 ? 1.0 : -1.0;
      point.u[0] = sign * radius * std::sin(angle);
      point.u[1] = sign * radius * std::cos(angle);
      point.t = ClassTarget(p % 2 == 0);
      break;
    }
    case DataShape::GaussianClusters: {
      const bool high = p % 2 == 0;
      const double centre = high ? kClusterCentre : -kClusterCentre;
      point.u[0] = centre + kClusterSpread * random.Normal();
      point.u[1] = centre + kClusterSpread * random.Normal();
      point.t = ClassTarget(high);
      break;
    }
    case DataShape::Sine:
      point.u[0] = random.Signed();
      point.t = kFunctionSwing * std::sin(std::numbers::pi * (point.u[0] + 1.0));
      break;
    case DataShape::Line:
      point.u[0] = random.Signed();
      point.t = kFunctionSwing * point.u[0];
      break;
  }
  return point;
}

double ToRange(double unit, double low, double high) { return low + (unit + 1.0) / 2.0 * (high - low); }

}  // namespace

const DataShapeInfo& InfoOf(DataShape shape) {
  const auto info = std::find_if(kDataShapes.begin(), kDataShapes.end(),
                                 [shape](const DataShapeInfo& i) { return i.shape == shape; });
  if (info == kDataShapes.end()) throw EngineError("no such shape of data");
  return *info;
}

GeneratedData GenerateData(const GeneratorSettings& s) {
  if (s.patterns < 1 || s.patterns > kMaxPatterns) {
    throw EngineError("a data set holds 1 to " + std::to_string(kMaxPatterns) + " patterns");
  }
  if (!(s.noisePercent >= 0 && s.noisePercent <= kMaxNoisePercent)) {
    throw EngineError("the noise is 0 to " + std::to_string(kMaxNoisePercent) + " %");
  }
  CheckRange(s.inputLow, s.inputHigh, "input");
  CheckRange(s.outputLow, s.outputHigh, "output");

  GeneratedData data;
  data.inputs = InfoOf(s.shape).inputs;
  data.values.reserve(static_cast<std::size_t>(s.patterns) * (data.inputs + 1));
  data.text = std::to_string(s.patterns) + "\r\n";
  const RangeWriter inputs(s.inputLow, s.inputHigh);
  const RangeWriter outputs(s.outputLow, s.outputHigh);
  // In net units the input range is 2 wide.
  const double noise = 2.0 * s.noisePercent / 100.0;
  Random random(s.seed);
  for (int p = 0; p < s.patterns; ++p) {
    const NetPoint point = Draw(s.shape, p, s.patterns, random);
    for (int i = 0; i < data.inputs; ++i) {
      const double moved = std::clamp(point.u[i] + noise * random.Signed(), -1.0, 1.0);
      data.values.push_back(inputs.Append(data.text, ToRange(moved, s.inputLow, s.inputHigh)));
      data.text += ',';
    }
    data.values.push_back(outputs.Append(data.text, ToRange(point.t, s.outputLow, s.outputHigh)));
    data.text += "\r\n";
  }
  return data;
}

}  // namespace backprop
