#include "engine/pattern_step.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/engine_error.h"
#include "engine/workspace.h"

// The step reads as the algorithm does: the forward pass, the deltas (the
// output layer, then the hidden layers from the last back), the weight
// update. Every sum keeps the order in which the algorithm adds its terms,
// and no multiply-add is fused, so the numbers are the same on every build.

namespace backprop {

namespace {

// The forward pass over layers 2..L: every net input, output and slope.
// Changes rows.net, rows.output and rows.slope of layers 2..L.
[[gnu::always_inline]] inline void Forward(const WeightTable& weights, const NetGeometry& g,
                                           TransferCode code, double& carriedSlope,
                                           const PassRows& rows) {
  for (int k = 2; k <= g.layerCount; ++k) {
    const int sources = g.Size(k - 1);
    const int targets = g.Size(k);
    const double* __restrict in = rows.output[k - 1];
    double* __restrict x = rows.net[k];
    // x_j = sum over i = 0..sources of w(i, j) * o_i, from 0 in order of i;
    // a row holds one source's weights to every target.
    for (int j = 1; j <= targets; ++j) x[j] = 0.0;
    for (int i = 0; i <= sources; ++i) {
      const double o = in[i];
      const double* __restrict w = weights.CurrentRow(WeightRow(i, k - 1));
      for (int j = 1; j <= targets; ++j) x[j] += w[j] * o;
    }
    for (int j = 1; j <= targets; ++j) {
      if (!std::isfinite(x[j])) ThrowOverflow("the net input", j, k);
    }
    TransferLayer(code, x, rows.output[k], rows.slope[k], 1, targets, carriedSlope);
  }
}

// Whether every number of a[first..last] is finite: x * 0 is 0 for every
// finite x and not a number otherwise.
inline bool AllFinite(const double* a, int first, int last) {
  double zero = 0.0;
  for (int j = first; j <= last; ++j) zero += a[j] * 0.0;
  return zero == 0.0;
}

std::string DeltaOverflow(int j, int k) {
  return "the delta of neurode " + std::to_string(j) + " of layer " + std::to_string(k) +
         " is too large (overflow)";
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
  a.overflow = result.overflow;
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

}  // namespace

StepParameters CurrentStepParameters(const Workspace& ws) {
  return {ws.Epsilon, TransferCodeOf(ws.TransferFunction), ws.OutputMode == kAnalogOutput};
}

void ThrowOverflow(const char* what, int j, int k) {
  throw EngineError(std::string(what) + " of neurode " + std::to_string(j) + " of layer " +
                    std::to_string(k) + " is too large (overflow)");
}

void ForwardLayers(const WeightTable& weights, const NetGeometry& geometry, TransferCode code,
                   double& carriedSlope, const PassRows& rows) {
  Forward(weights, geometry, code, carriedSlope, rows);
}

StepResult TrainPattern(const StepNet& net, const NetGeometry& g, const double* inputs,
                        const double* targets, const StepParameters& parameters,
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
  Forward(net.weights, g, parameters.code, carriedSlope, rows);

  // Output deltas and the error: e = target - output, its share e^2 in
  // analog mode, else the integer part of 3.2 e^2; delta = slope * e. A net
  // of one layer has its inputs as outputs and the slopes its table holds;
  // a net of none has outputs of 0. Changes the spare deltas of layer L.
  static constexpr Row kNoOutputs{};
  const double* y = last >= 1 ? rows.output[last] : kNoOutputs.data();
  const double* slope = last >= 2 ? rows.slope[last] : net.slopes.CurrentRow(last);
  double* outputDeltas = net.deltas.SpareRow(last);
  double errors[kMaxNeurodes + 1] = {};
  double shares[kMaxNeurodes + 1] = {};
  for (int j = 1; j <= g.OutputSize(); ++j) {
    const double e = targets[j] - y[j];
    if (!std::isfinite(e)) ThrowOverflow("the error", j, last);
    errors[j] = e;
    shares[j] = parameters.analog ? e * e : std::floor(3.2 * (e * e));
    result.errorShare += shares[j];
    outputDeltas[j] = slope[j] * e;
  }

  // Hidden deltas, from layer L-1 back to 2, from the weights before the
  // update: delta_i = sum over j of slope_i * (w(i, j) * delta_j), added in
  // order of j, the first term starting the sum. Layer 1 and the bias
  // neurodes get none. Changes the spare deltas of layers 2..L-1.
  for (int h = last - 1; h >= 2; --h) {
    const int targetCount = g.Size(h + 1);
    const double* nextDeltas = net.deltas.SpareRow(h + 1);
    double* deltas = net.deltas.SpareRow(h);
    for (int i = 1; i <= g.Size(h); ++i) {
      const double* w = net.weights.CurrentRow(WeightRow(i, h));
      const double s = rows.slope[h][i];
      double sum = targetCount >= 1 ? s * (w[1] * nextDeltas[1]) : 0.0;
      for (int j = 2; j <= targetCount; ++j) sum += s * (w[j] * nextDeltas[j]);
      deltas[i] = sum;
    }
  }
  for (int k = 2; k <= last && result.overflow.empty(); ++k) {
    const double* deltas = net.deltas.SpareRow(k);
    for (int j = 1; j <= g.Size(k); ++j) {
      if (!std::isfinite(deltas[j])) {
        result.overflow = DeltaOverflow(j, k);
        break;
      }
    }
  }

  // Weight update: w(i, j) + o_i * (delta_j * epsilon) for every weight
  // from layer h; a bias weight only while its layer's bias output is not
  // 0. Changes the spare weights of the trained connections.
  int overflowLayer = 0;
  for (int h = last - 1; h >= 1; --h) {
    const int targetCount = g.Size(h + 1);
    const double* nextDeltas = net.deltas.SpareRow(h + 1);
    const double* o = rows.output[h];
    alignas(32) Row step{};
    for (int j = 1; j <= targetCount; ++j) step[j] = nextDeltas[j] * parameters.epsilon;
    alignas(32) Row check{};
    for (int i = (o[0] != 0.0 ? 0 : 1); i <= g.Size(h); ++i) {
      const double oi = o[i];
      const double* __restrict w = net.weights.CurrentRow(WeightRow(i, h));
      double* __restrict nw = net.weights.SpareRow(WeightRow(i, h));
      for (int j = 1; j <= targetCount; ++j) {
        nw[j] = w[j] + oi * step[j];
        check[j] += nw[j] * 0.0;
      }
    }
    if (!AllFinite(check.data(), 1, targetCount)) overflowLayer = h;
  }
  if (result.overflow.empty() && overflowLayer != 0) {
    result.overflow = "a weight of layer " + std::to_string(overflowLayer) + " is too large (overflow)";
  }
  if (result.overflow.empty() && !std::isfinite(result.errorShare)) {
    result.overflow = "the error sum is too large (overflow)";
  }

  if (record != nullptr) Record(net, g, rows, targets, errors, shares, parameters, result, *record);
  if (result.overflow.empty()) {
    net.weights.Commit();
    net.nodes.Commit();
    net.slopes.Commit();
    net.deltas.Commit();
  }
  return result;
}

}  // namespace backprop
