// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/weights_file.h"

#include <array>
#include <cmath>
#include <vector>

#include "engine/number_text.h"
#include "engine/whole_number.h"
#include "engine/workspace.h"
#include "files/file_error.h"
#include "files/text_file.h"

namespace backprop {

namespace {

constexpr std::array<const char*, 6> kParameterNames{
    "the transfer function",      "the input range's low end",   "the input range's high end",
    "the output range's low end", "the output range's high end", "the output mode"};

std::string Layer(int k) { return " of layer " + std::to_string(k); }
std::string WeightName(int i, int j, int layer) {
  return "weight (" + std::to_string(i) + ", " + std::to_string(j) + ", " + std::to_string(layer) +
         ")";
}

// The layer count and the sizes serve as loop bounds over the tables, so
// they must stay within the tables (0..kMaxLayers layers, 0..kMaxNeurodes
// neurodes), rounded as every whole number is.
void CheckBound(double value, int limit, const std::string& what) {
  if (!RoundedWithin(value, 0, limit)) throw FileError({}, OutOfRangeText(what, value, 0, limit));
}

// Calls visit(i, j, layer) for every weight a file holds, in file order. The
// bounds compare as doubles, like every loop of the engine.
template <typename Sizes, typename Visit>
void ForEachWeight(double layerCount, const Sizes& sizes, Visit visit) {
  for (int layer = 1; layer <= layerCount - 1; ++layer) {
    const double sources = sizes(layer);
    const double targets = sizes(layer + 1);
    for (int i = 0; i <= sources; ++i) {
      for (int j = 1; j <= targets; ++j) visit(i, j, layer);
    }
  }
}

// ---- number text -------------------------------------------------------

void CheckFinite(double value, const std::string& what) {
  if (!std::isfinite(value)) throw FileError({}, what + " is not a finite number");
}

// Shortest text that reads back to exactly the same double.
void AppendReal(std::string& text, double value, const std::string& what) {
  CheckFinite(value, what);
  text += RoundTripText(value) + "\r\n";
}

// Whole numbers without a point or exponent. A field of this kind that holds
// a fraction (a function code of 2.5 typed into the parameters window) is
// written like a real number, so the file still reads back what was held.
void AppendWhole(std::string& text, double value, const std::string& what) {
  CheckFinite(value, what);
  constexpr double kExactIntegers = 9007199254740992.0;  // 2^53
  if (value != std::trunc(value) || std::fabs(value) >= kExactIntegers) {
    AppendReal(text, value, what);
    return;
  }
  text += std::to_string(static_cast<long long>(value)) + "\r\n";
}

// Hands out the lines of a file text one number at a time.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : rest_(text) {}

  // The next line's number; what() names the value for the error text.
  template <typename Describe>
  double Next(Describe what) {
    if (rest_.empty()) {
      throw FileError({}, "the file ends before line " + std::to_string(number_ + 1) +
                              ", which should hold " + what());
    }
    const std::size_t end = rest_.find('\n');
    std::string_view line = rest_.substr(0, end);
    rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
    ++number_;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::optional<double> value = ReadStrictNumber(line);
    if (!value) {
      constexpr std::size_t kShown = 30;
      const std::string shown(line.substr(0, kShown));
      throw FileError({}, "line " + std::to_string(number_) + " (" + what() +
                              ") does not hold a number: \"" + shown +
                              (line.size() > kShown ? "...\"" : "\""));
    }
    return *value;
  }

 private:
  std::string_view rest_;
  int number_ = 0;
};

// Everything a file holds, checked, before any of it reaches the workspace.
struct WeightsRecord {
  double layerCount = 0;
  std::array<double, kMaxLayers + 1> sizes{};
  std::array<double, kMaxLayers + 1> flags{};
  std::vector<double> weights;  // in file order
  std::array<double, 6> parameters{};
};

WeightsRecord ParseWeights(std::string_view text) {
  LineReader lines(text);
  WeightsRecord record;
  record.layerCount = lines.Next([] { return std::string("the layer count"); });
  CheckBound(record.layerCount, kMaxLayers, "the layer count");
  for (int k = 1; k <= record.layerCount; ++k) {
    record.sizes[k] = lines.Next([k] { return "the size" + Layer(k); });
    CheckBound(record.sizes[k], kMaxNeurodes, "the size" + Layer(k));
  }
  for (int k = 1; k <= record.layerCount; ++k) {
    record.flags[k] = lines.Next([k] { return "the bias flag" + Layer(k); });
  }
  const auto size = [&record](int k) { return record.sizes[k]; };
  ForEachWeight(record.layerCount, size, [&](int i, int j, int layer) {
    record.weights.push_back(lines.Next([=] { return WeightName(i, j, layer); }));
  });
  for (std::size_t p = 0; p < kParameterNames.size(); ++p) {
    record.parameters[p] = lines.Next([p] { return std::string(kParameterNames[p]); });
  }
  return record;
}

void Store(Workspace& ws, const WeightsRecord& record) {
  ws.LayerCount = record.layerCount;
  for (int k = 1; k <= record.layerCount; ++k) {
    ws.LayerSizes(k) = record.sizes[k];
    ws.BiasFlags(k) = record.flags[k];
  }
  std::size_t next = 0;
  const auto size = [&record](int k) { return record.sizes[k]; };
  ForEachWeight(record.layerCount, size,
                [&](int i, int j, int layer) { ws.Weights(i, j, layer) = record.weights[next++]; });
  ws.TransferFunction = record.parameters[0];
  ws.InputRangeLow = record.parameters[1];
  ws.InputRangeHigh = record.parameters[2];
  ws.OutputRangeLow = record.parameters[3];
  ws.OutputRangeHigh = record.parameters[4];
  ws.OutputMode = record.parameters[5];
  // Steps applied by hand count from the weights just loaded.
  ws.HandPatterns = 0;
  ws.HandCycles = 0;
}

}  // namespace

std::string WeightsFileText(const Workspace& ws) {
  const double layerCount = ws.LayerCount;
  CheckBound(layerCount, kMaxLayers, "the layer count");
  for (int k = 1; k <= layerCount; ++k) {
    CheckBound(ws.LayerSizes(k), kMaxNeurodes, "the size" + Layer(k));
  }

  std::string text;
  AppendWhole(text, layerCount, "the layer count");
  for (int k = 1; k <= layerCount; ++k) AppendWhole(text, ws.LayerSizes(k), "the size" + Layer(k));
  for (int k = 1; k <= layerCount; ++k) {
    AppendWhole(text, ws.BiasFlags(k), "the bias flag" + Layer(k));
  }
  const auto size = [&ws](int k) { return ws.LayerSizes(k).Value(); };
  ForEachWeight(layerCount, size, [&](int i, int j, int layer) {
    AppendReal(text, ws.Weights(i, j, layer), WeightName(i, j, layer));
  });
  AppendWhole(text, ws.TransferFunction, kParameterNames[0]);
  AppendReal(text, ws.InputRangeLow, kParameterNames[1]);
  AppendReal(text, ws.InputRangeHigh, kParameterNames[2]);
  AppendReal(text, ws.OutputRangeLow, kParameterNames[3]);
  AppendReal(text, ws.OutputRangeHigh, kParameterNames[4]);
  AppendWhole(text, ws.OutputMode, kParameterNames[5]);
  return text;
}

void ReadWeightsText(Workspace& ws, std::string_view text) { Store(ws, ParseWeights(text)); }

void WriteWeightsFile(const Workspace& ws, const std::filesystem::path& path) {
  std::string text;
  try {
    text = WeightsFileText(ws);
  } catch (const FileError& error) {
    throw FileError(path.string(), error.Reason());
  }
  ReplaceFileContents(path, text);
}

void ReadWeightsFile(Workspace& ws, const std::filesystem::path& path) {
  const std::string text = ReadFileContents(path, kMaxWeightsFileBytes);
  try {
    ReadWeightsText(ws, text);
  } catch (const FileError& error) {
    throw FileError(path.string(), error.Reason());
  }
}

namespace {

// Runs a file operation; nothing when it succeeds, else the box's message.
template <typename Operation>
std::optional<std::string> MessageOf(const char* headline, Operation operation) {
  try {
    operation();
    return std::nullopt;
  } catch (const FileError& error) {
    return FileErrorMessage(headline, error);
  }
}

}  // namespace

std::optional<std::string> ReadWeightsFileOrMessage(Workspace& ws,
                                                    const std::filesystem::path& path) {
  return MessageOf(kLoadFailedText, [&] { ReadWeightsFile(ws, path); });
}

std::optional<std::string> WriteWeightsFileOrMessage(const Workspace& ws,
                                                     const std::filesystem::path& path) {
  return MessageOf(kSaveFailedText, [&] { WriteWeightsFile(ws, path); });
}

}  // namespace backprop
