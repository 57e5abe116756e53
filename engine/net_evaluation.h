// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <vector>

#include "engine/net_geometry.h"

namespace backprop {

struct Workspace;

// The net's outputs for inputs in the user's units, computed as stepping
// computes them: each input scaled from the input range, the bias outputs
// from BiasFlags, the forward pass, each output mapped back to the output
// range. It reads the workspace and never writes it, so a view can evaluate
// the net anywhere while training goes on.
class NetEvaluator {
 public:
  // Checks the geometry; a net beyond the tables is an EngineError.
  explicit NetEvaluator(const Workspace& ws);

  int Inputs() const { return geometry_.Size(1); }
  int Outputs() const { return geometry_.OutputSize(); }
  // Output `output` (1..Outputs) in the user's output units for the given
  // inputs (Inputs() of them, input 1 first); not a number when a net input
  // overflows.
  double Output(const double* inputs, int output) const;

  // Every neurode's output for inputs already scaled to -1..1 (Inputs() of
  // them, input 1 first): outputs[k][j] for layers 1..L, neurode 0 the bias
  // output, layer 1 the inputs themselves; outputs in -1..1 terms, not
  // mapped to the user's range. False when a net input overflows (the
  // outputs are then incomplete).
  using NodeOutputs = std::array<std::array<double, kMaxNeurodes + 1>, kMaxLayers + 1>;
  bool Pass(const double* scaledInputs, NodeOutputs& outputs) const;

 private:
  const Workspace& ws_;
  NetGeometry geometry_;
};

// Output `output` of a net of two inputs over an n x n grid of the input
// square InputRangeLow..InputRangeHigh on both axes, ends included, row by
// row: within a row input 1 grows from the low end; row 0 holds input 2's
// high end, so the grid reads like a picture. Empty unless the net has two
// inputs.
std::vector<double> OutputGrid(const Workspace& ws, int output, int n);

// The same grid for neurode `neurode` of layer `layer` (2..L), in the
// net's own terms: the neurode's output f(net), not mapped to the user's
// range (the output range's counterpart is -1..1). Empty unless the net has
// two inputs and the neurode exists.
std::vector<double> NeurodeGrid(const Workspace& ws, int layer, int neurode, int n);

// The colour of an output value on the decision map: pure red at the low
// end of the output range, white at its middle, pure blue at its high end,
// linear between and held at the ends beyond them; grey for not a number.
struct MapColour {
  int red = 0;
  int green = 0;
  int blue = 0;
  friend bool operator==(const MapColour&, const MapColour&) = default;
};
MapColour ColourOfOutput(double value, double low, double high);

}  // namespace backprop
