// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>

#include "engine/net_geometry.h"
#include "engine/net_tables.h"
#include "engine/transfer_function.h"

// One pattern's step of back-propagation, the one implementation that
// training, training by hand, the arithmetic view and `backprop-run
// --explain` all run, so the numbers they show agree to the last bit.

namespace backprop {

struct Workspace;

// What a step reads that the user may change between two patterns.
struct StepParameters {
  double epsilon = 0.0;                       // learning rate
  TransferCode code = TransferCode::Unknown;  // transfer function
  bool analog = true;                         // error summed as e^2, else the digital count
};

StepParameters CurrentStepParameters(const Workspace& ws);

// Numbers by layer k (1..10) and neurode j (0..10, 0 the bias neurode).
using NodeNumbers = std::array<std::array<double, kMaxNeurodes + 1>, kMaxLayers + 1>;
// Numbers by source layer h, source neurode i and target neurode j.
using WeightNumbers = std::array<NodeNumbers, kMaxLayers + 1>;

// Every number one pattern's step computes: what the arithmetic view shows
// and `backprop-run --explain` prints. The step fills everything but the
// set, the pattern and the raw values, which its caller knows.
struct PatternArithmetic {
  int set = 0;      // the training set, 1 or 2
  int pattern = 0;  // 1..patternCount
  int patternCount = 0;
  NetGeometry geometry;
  double epsilon = 0.0;  // the learning rate
  bool analog = true;    // error share e^2, else the digital count
  std::array<double, kMaxNeurodes + 1> rawInputs{};
  std::array<double, kMaxNeurodes + 1> scaledInputs{};
  std::array<double, kMaxNeurodes + 1> rawTargets{};
  std::array<double, kMaxNeurodes + 1> targets{};      // scaled to -1..1
  std::array<double, kMaxNeurodes + 1> errors{};       // e = target - output
  std::array<double, kMaxNeurodes + 1> errorShares{};  // each e's share of the error sum
  double errorShare = 0.0;                             // the pattern's share
  NodeNumbers net{};       // net input of layers 2..L (the sum includes the bias neurode)
  NodeNumbers output{};    // f(net); layer 1 holds the scaled inputs, neurode 0 the bias output
  NodeNumbers slope{};     // f'(net)
  NodeNumbers delta{};     // the back-propagated error term of layers 2..L
  WeightNumbers weight{};  // w(i, j, h) before the step
  WeightNumbers change{};  // its change, epsilon * o(i, h) * delta(j, h + 1)
  WeightNumbers newWeight{};
  std::string overflow;  // why the step leaves a value that is not finite, or ""
};

// The tables a step reads and writes: the workspace's own for training, a
// copy of them for a step that must change nothing.
struct StepNet {
  WeightTable& weights;
  NodeTable& nodes;  // node values; row k, slot 0 holds layer k's bias output
  NodeTable& slopes;
  NodeTable& deltas;
};

// The outcome of one step: the pattern's share of the cycle's error, and
// which of its new numbers, if any, is not finite: the first delta (by
// layer, then neurode), else a weight (by layer), else the error share.
struct StepResult {
  enum class Overflow { None, Delta, Weight, ErrorSum };
  double errorShare = 0.0;
  Overflow overflow = Overflow::None;
  int layer = 0;
  int neurode = 0;

  bool Finite() const { return overflow == Overflow::None; }
  // "the delta of neurode 2 of layer 3 is too large (overflow)", or "".
  std::string OverflowText() const;
};

// One step for the pattern whose scaled inputs and targets stand in
// inputs[1..] and targets[1..], on a geometry checked by ValidatedGeometry,
// with the bias outputs in place in both sides of net.nodes. It reads the
// current tables, writes the pattern's node values, slopes, deltas and new
// weights into the spare ones, and commits them only when all are finite.
// A net input or output error that is not finite throws EngineError before
// anything is committed. `carriedSlope` is what an unknown transfer code
// leaves as the slope. With `record`, every number goes there as well.
StepResult TrainPattern(const StepNet& net, const NetGeometry& geometry, const double* inputs,
                        const double* targets, const StepParameters& parameters,
                        double& carriedSlope, PatternArithmetic* record);

// TrainPattern as built for this processor, for a caller that runs it
// pattern after pattern.
using PatternStepFunction = StepResult (*)(const StepNet&, const NetGeometry&, const double*,
                                           const double*, const StepParameters&, double&,
                                           PatternArithmetic*);
PatternStepFunction ChosenPatternStep();

// Where a forward pass puts the net inputs, outputs and slopes of layer k:
// row pointers, each of kRowSlots numbers. output[k][0] (the bias output)
// and layer 1's outputs are the caller's to fill; the pass reads them.
struct PassRows {
  std::array<double*, kMaxLayers + 1> net;
  std::array<double*, kMaxLayers + 1> output;
  std::array<double*, kMaxLayers + 1> slope;
};

// The forward pass over layers 2..L with the current weights. A net input
// that is not finite throws EngineError naming its neurode.
void ForwardLayers(const WeightTable& weights, const NetGeometry& geometry, TransferCode code,
                   double& carriedSlope, const PassRows& rows);

// Runs the step and the forward pass with the base x86-64 instructions
// only, even where AVX2 is there (or again with AVX2 where it is): for the
// tests and benchmarks that compare the two, whose numbers must agree.
void UseBaseInstructionsOnly(bool base);

// Throws the EngineError "<what> of neurode j of layer k is too large (overflow)".
[[noreturn]] void ThrowOverflow(const char* what, int j, int k);

}  // namespace backprop
