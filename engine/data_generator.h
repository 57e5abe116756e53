// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace backprop {

// The shapes the data generator draws: four of two inputs (one output that
// tells two classes apart) and two functions of one input.
enum class DataShape { XorQuadrants, Circle, TwoSpirals, GaussianClusters, Sine, Line };

// A shape's name for the menu and how many inputs its patterns have.
struct DataShapeInfo {
  DataShape shape;
  const char* name;
  int inputs;
};
inline constexpr std::array<DataShapeInfo, 6> kDataShapes{{
    {DataShape::XorQuadrants, "XOR quadrants", 2},
    {DataShape::Circle, "Circle", 2},
    {DataShape::TwoSpirals, "Two spirals", 2},
    {DataShape::GaussianClusters, "Gaussian clusters", 2},
    {DataShape::Sine, "Sine", 1},
    {DataShape::Line, "Straight line", 1},
}};
// The entry of a shape; a number cast to a shape that is none is an
// EngineError.
const DataShapeInfo& InfoOf(DataShape shape);

inline constexpr int kMaxNoisePercent = 50;

// What to generate, and the ranges the values lie in (the workspace's
// input and output ranges).
struct GeneratorSettings {
  DataShape shape = DataShape::XorQuadrants;
  int patterns = 100;        // 1..300
  double noisePercent = 0;   // 0..50: the most an input moves, in % of the input range
  std::uint32_t seed = 1;    // the same seed gives the same text
  double inputLow = -1;
  double inputHigh = 1;
  double outputLow = -1;
  double outputHigh = 1;
};

// A generated data set: its text in the data-set format (the count, then one
// pattern per line, inputs first, lines ended by CR LF) and the values the
// text holds, pattern by pattern (inputs, then the one desired output).
struct GeneratedData {
  int inputs = 0;
  std::vector<double> values;
  std::string text;
};

// Generates a data set. Classes are the two ends of the output range;
// functions (0.8 of a full sine period's swing, a line) lie within it. Noise
// moves each input by a uniform amount of at most noisePercent of the input
// range either way; inputs stay within the range. Every value of the text
// reads back as the one in `values`. Settings out of bounds (NaN among
// them), an unknown shape, or a range whose ends are equal, not finite or
// too far apart for a load to scale, are an EngineError.
GeneratedData GenerateData(const GeneratorSettings& settings);

}  // namespace backprop
