// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/pattern_step.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/engine_error.h"
#include "engine/lanes.h"
#include "engine/workspace.h"

// The step reads as the algorithm does: the forward pass, the deltas (the
// output layer, then the hidden layers from the last back), the weight
// update. Every sum keeps the order in which the algorithm adds its terms
// and no multiply-add is fused, so the numbers are the same on every build
// and machine. The sums over sources and the update work on blocks of
// neighbouring targets, whose numbers stand side by side in vector
// registers (a weight row holds one source's weights to every target); the
// widest block depends on the processor, the numbers do not.

namespace backprop {

namespace {

// The weights from layer h: row i (from neurode i to every target) starts
// i * kRowSlots after row 0.
inline const double* CurrentWeights(const WeightTable& weights, int h) {
  return weights.CurrentRow(WeightRow(0, h));
}

// Whether every lane is 0 (or -0).
template <int n>
[[gnu::always_inline]] inline bool AllZero(Lanes<n> v) {
  bool zero = true;
  for (int l = 0; l < n; ++l) zero = zero && LaneOf(v, l) == 0.0;
  return zero;
}

// The forward pass over layers 2..L: x_j = sum over i = 0..sources of
// w(i, j) * o_i, from 0 in order of i, then the transfer function. A net
// input that is not finite ends the pass. Changes rows.net, rows.output
// and rows.slope of layers 2..L.
template <int kWidth>
[[gnu::always_inline]] inline void Forward(const WeightTable& weights, const NetGeometry& g,
                                           TransferCode code, double& carriedSlope,
                                           const PassRows& rows) {
  for (int k = 2; k <= g.layerCount; ++k) {
    const int sources = g.Size(k - 1);
    const int targets = g.Size(k);
    const double* w = CurrentWeights(weights, k - 1);
    const double* in = rows.output[k - 1];
    double* x = rows.net[k];
    bool finite = true;
    ForEachBlock<kWidth>(1, targets, [&]<int n>(int j) {
      Lanes<n> sum{};
      for (int i = 0; i <= sources; ++i) sum += Load<n>(w + i * kRowSlots + j) * in[i];
      Store<n>(x + j, sum);
      finite = AllZero<n>(sum * 0.0) && finite;
    });
    if (!finite) {
      for (int j = 1; j <= targets; ++j) {
        if (!std::isfinite(x[j])) ThrowOverflow("the net input", j, k);
      }
    }
    TransferLayer<kWidth>(code, x, rows.output[k], rows.slope[k], 1, targets, carriedSlope);
  }
}

// Copies every number of the step into the record.
void Record(const StepNet& net, const NetGeometry& g, const PassRows& rows, const double* targets,
            const double* errors, const double* shares, const StepParameters& parameters,
            const StepResult& result, PatternArithmetic& a) {
  const int last = g.OutputLayer();
  a.geometry = g;
  a.epsilon = parameters.epsilon;
  a.analog = parameters.analog;
  a.errorShare = result.errorShare;
  a.overflow = result.OverflowText();
  for (int i = 1; i <= g.Size(1); ++i) a.scaledInputs[i] = rows.output[1][i];
  for (int j = 1; j <= g.OutputSize(); ++j) {
    a.targets[j] = targets[j];
    a.errors[j] = errors[j];
    a.errorShares[j] = shares[j];
  }
  for (int k = 1; k <= g.layerCount; ++k) {
    const double* deltas = net.deltas.SpareRow(k);
    for (int j = 0; j <= g.Size(k); ++j) {
      a.output[k][j] = rows.output[k][j];
      if (k >= 2 && j >= 1) {
        a.net[k][j] = rows.net[k][j];
        a.slope[k][j] = rows.slope[k][j];
        a.delta[k][j] = deltas[j];
      }
    }
  }
  for (int h = 1; h < last; ++h) {
    const bool biasOn = rows.output[h][0] != 0.0;
    const double* nextDeltas = net.deltas.SpareRow(h + 1);
    for (int i = 0; i <= g.Size(h); ++i) {
      const double* w = net.weights.CurrentRow(WeightRow(i, h));
      const double* nw = net.weights.SpareRow(WeightRow(i, h));
      for (int j = 1; j <= g.Size(h + 1); ++j) {
        a.weight[h][i][j] = w[j];
        a.change[h][i][j] =
            (i >= 1 || biasOn) ? rows.output[h][i] * (nextDeltas[j] * parameters.epsilon) : 0.0;
        a.newWeight[h][i][j] = nw[j];
      }
    }
  }
}

// The step, for blocks of at most kWidth targets.
template <int kWidth>
[[gnu::always_inline]] inline StepResult Step(const StepNet& net, const NetGeometry& g,
                                              const double* inputs, const double* targets,
                                              const StepParameters& parameters,
                                              double& carriedSlope, PatternArithmetic* record) {
  const int last = g.OutputLayer();
  StepResult result;

  // Forward pass. Changes the spare node values of every layer and the
  // spare slopes of layers 2..L.
  Row netInputs[kMaxLayers + 1];
  PassRows rows;
  for (int k = 1; k <= std::max(g.layerCount, 1); ++k) {
    rows.net[k] = netInputs[k].data();
    rows.output[k] = net.nodes.SpareRow(k);
    rows.slope[k] = net.slopes.SpareRow(k);
  }
  for (int i = 1; i <= g.Size(1); ++i) rows.output[1][i] = inputs[i];
  Forward<kWidth>(net.weights, g, parameters.code, carriedSlope, rows);

  // Output deltas and the error: e = target - output, its share e^2 in
  // analog mode, else the integer part of 3.2 e^2; delta = slope * e. A net
  // of one layer has its inputs as outputs and the slopes its table holds;
  // a net of none has outputs of 0. Changes the spare deltas of layer L.
  static constexpr Row kNoOutputs{};
  const double* y = last >= 1 ? rows.output[last] : kNoOutputs.data();
  const double* slope = last >= 2 ? rows.slope[last] : net.slopes.CurrentRow(last);
  double* outputDeltas = net.deltas.SpareRow(last);
  double errors[kMaxNeurodes + 1];
  double shares[kMaxNeurodes + 1];
  // Stays 0 while every delta is finite (x * 0 is 0 for a finite x).
  double deltaZero = 0.0;
  for (int j = 1; j <= g.OutputSize(); ++j) {
    const double e = targets[j] - y[j];
    if (!std::isfinite(e)) ThrowOverflow("the error", j, last);
    errors[j] = e;
    shares[j] = parameters.analog ? e * e : std::floor(3.2 * (e * e));
    result.errorShare += shares[j];
    outputDeltas[j] = slope[j] * e;
    if (last >= 2) deltaZero += outputDeltas[j] * 0.0;
  }

  // Hidden deltas, from layer L-1 back to 2, from the weights before the
  // update: delta_i = sum over j of slope_i * (w(i, j) * delta_j), added in
  // order of j, the first term starting the sum. Layer 1 and the bias
  // neurodes get none. Changes the spare deltas of layers 2..L-1.
  for (int h = last - 1; h >= 2; --h) {
    const int targetCount = g.Size(h + 1);
    const double* nextDeltas = net.deltas.SpareRow(h + 1);
    double* deltas = net.deltas.SpareRow(h);
    const double* weights = CurrentWeights(net.weights, h);
    for (int i = 1; i <= g.Size(h); ++i) {
      const double* w = weights + i * kRowSlots;
      const double s = rows.slope[h][i];
      double sum = targetCount >= 1 ? s * (w[1] * nextDeltas[1]) : 0.0;
      for (int j = 2; j <= targetCount; ++j) sum += s * (w[j] * nextDeltas[j]);
      deltas[i] = sum;
      deltaZero += sum * 0.0;
    }
  }
  // The first delta that is not finite, by layer and neurode.
  for (int k = 2; k <= last && deltaZero != 0.0 && result.Finite(); ++k) {
    const double* deltas = net.deltas.SpareRow(k);
    for (int j = 1; j <= g.Size(k); ++j) {
      if (!std::isfinite(deltas[j])) {
        result = {result.errorShare, StepResult::Overflow::Delta, k, j};
        break;
      }
    }
  }

  // Weight update: w(i, j) + o_i * (delta_j * epsilon) for every weight
  // from layer h; a bias weight only while its layer's bias output is not
  // 0. x * 0 is 0 for a finite new weight and not a number otherwise.
  // Changes the spare weights of the trained connections.
  int overflowLayer = 0;
  for (int h = last - 1; h >= 1; --h) {
    const int sources = g.Size(h);
    const double* nextDeltas = net.deltas.SpareRow(h + 1);
    const double* o = rows.output[h];
    const int first = o[0] != 0.0 ? 0 : 1;
    const double* w = CurrentWeights(net.weights, h);
    double* next = net.weights.SpareRow(WeightRow(0, h));
    bool finite = true;
    ForEachBlock<kWidth>(1, g.Size(h + 1), [&]<int n>(int j) {
      Lanes<n> step;
      for (int l = 0; l < n; ++l) SetLane(step, l, nextDeltas[j + l] * parameters.epsilon);
      Lanes<n> zero{};
      for (int i = first; i <= sources; ++i) {
        const Lanes<n> updated = Load<n>(w + i * kRowSlots + j) + o[i] * step;
        Store<n>(next + i * kRowSlots + j, updated);
        zero += updated * 0.0;
      }
      finite = AllZero<n>(zero) && finite;
    });
    if (!finite) overflowLayer = h;
  }
  if (result.Finite() && overflowLayer != 0) {
    result = {result.errorShare, StepResult::Overflow::Weight, overflowLayer, 0};
  }
  if (result.Finite() && !std::isfinite(result.errorShare)) {
    result.overflow = StepResult::Overflow::ErrorSum;
  }

  if (record != nullptr) Record(net, g, rows, targets, errors, shares, parameters, result, *record);
  if (result.Finite()) {
    net.weights.Commit();
    net.nodes.Commit();
    net.slopes.Commit();
    net.deltas.Commit();
  }
  return result;
}

// The step and the forward pass built twice: for the base instruction set
// of every x86-64 processor, and with AVX2 for those that have it. The
// numbers are the same either way.
StepResult BaseStep(const StepNet& net, const NetGeometry& g, const double* inputs,
                    const double* targets, const StepParameters& parameters, double& carriedSlope,
                    PatternArithmetic* record) {
  return Step<2>(net, g, inputs, targets, parameters, carriedSlope, record);
}
[[gnu::target("avx2")]] StepResult WideStep(const StepNet& net, const NetGeometry& g,
                                            const double* inputs, const double* targets,
                                            const StepParameters& parameters,
                                            double& carriedSlope, PatternArithmetic* record) {
  return Step<4>(net, g, inputs, targets, parameters, carriedSlope, record);
}
void BaseForward(const WeightTable& weights, const NetGeometry& g, TransferCode code,
                 double& carriedSlope, const PassRows& rows) {
  Forward<2>(weights, g, code, carriedSlope, rows);
}
[[gnu::target("avx2")]] void WideForward(const WeightTable& weights, const NetGeometry& g,
                                         TransferCode code, double& carriedSlope,
                                         const PassRows& rows) {
  Forward<4>(weights, g, code, carriedSlope, rows);
}

// Whether this processor runs the AVX2 builds, asked once.
bool& WideWanted() {
  static bool wide = __builtin_cpu_supports("avx2");
  return wide;
}

}  // namespace

void UseBaseInstructionsOnly(bool base) {
  static const bool available = __builtin_cpu_supports("avx2");
  WideWanted() = available && !base;
}

std::string StepResult::OverflowText() const {
  switch (overflow) {
    case Overflow::None:
      return {};
    case Overflow::Delta:
      return "the delta of neurode " + std::to_string(neurode) + " of layer " +
             std::to_string(layer) + " is too large (overflow)";
    case Overflow::Weight:
      return "a weight of layer " + std::to_string(layer) + " is too large (overflow)";
    case Overflow::ErrorSum:
      break;
  }
  return "the error sum is too large (overflow)";
}

StepParameters CurrentStepParameters(const Workspace& ws) {
  return {ws.Epsilon, TransferCodeOf(ws.TransferFunction), ws.OutputMode == kAnalogOutput};
}

void ThrowOverflow(const char* what, int j, int k) {
  throw EngineError(std::string(what) + " of neurode " + std::to_string(j) + " of layer " +
                    std::to_string(k) + " is too large (overflow)");
}

void ForwardLayers(const WeightTable& weights, const NetGeometry& geometry, TransferCode code,
                   double& carriedSlope, const PassRows& rows) {
  (WideWanted() ? WideForward : BaseForward)(weights, geometry, code, carriedSlope, rows);
}

PatternStepFunction ChosenPatternStep() { return WideWanted() ? WideStep : BaseStep; }

StepResult TrainPattern(const StepNet& net, const NetGeometry& g, const double* inputs,
                        const double* targets, const StepParameters& parameters,
                        double& carriedSlope, PatternArithmetic* record) {
  return ChosenPatternStep()(net, g, inputs, targets, parameters, carriedSlope, record);
}

}  // namespace backprop
