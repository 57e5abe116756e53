#pragma once

#include <cmath>

#include "engine/engine_error.h"
#include "engine/forward_pass_cells.h"
#include "engine/net_geometry.h"
#include "engine/workspace.h"

// One pattern's step of back-propagation, written once for its two users:
// training, which applies it to the workspace cells in place, and the
// arithmetic view, which records every number without changing anything.
// Both run this very code, so the numbers they see agree to the last bit.
// The step reads as three parts: the forward pass, the deltas, and the
// weight update; the deltas of a layer use its weights before they change.

namespace backprop {

// What a step reads that the user may change between two patterns.
struct StepParameters {
  double epsilon = 0.0;                       // learning rate
  TransferCode code = TransferCode::Unknown;  // transfer function
  bool analog = true;                         // error summed as e^2, else the digital count
};

inline StepParameters CurrentStepParameters(const Workspace& ws) {
  return {ws.Epsilon, TransferCodeOf(ws.TransferFunction), ws.OutputMode == kAnalogOutput};
}

// The pass and the deltas of one step as plain numbers. The caller fills
// pass.output[k][0], the bias output of every layer, before the step.
struct PatternValues {
  PassValues pass;
  double delta[kMaxLayers + 1][kMaxNeurodes + 1];
};

// The deltas of layer h (layer 1 and the bias neurodes get none) and the
// update of the weights from layer h, column by column (one target at a
// time) so the inner loops run over neighbouring cells. The deltas read each
// weight before the update changes it, so one sweep serves both.
template <typename WS, typename Sink>
[[gnu::always_inline]] inline void BackpropagateLayer(WS& ws, const NetGeometry& geometry, int h,
                                                      double epsilon, PatternValues& values,
                                                      Sink& sink) {
  const int sources = geometry.Size(h);
  const int targets = geometry.Size(h + 1);
  const double* output = values.pass.output[h];
  const double* slope = values.pass.slope[h];
  const double* nextDelta = values.delta[h + 1];
  double* sum = values.delta[h];  // the deltas of layer h, when it is hidden
  // A bias weight changes only while its bias output is on.
  const bool biasOn = output[0] != 0.0;
  const bool hidden = h >= 2;
  auto* weights = ws.Weights.Cells();
  for (int j = 1; j <= targets; ++j) {
    const double delta = nextDelta[j];
    const double step = delta * epsilon;
    auto* column = weights + WeightCell(0, j, h);
    if (biasOn) {
      sink.Weight(0, j, h, column[0], column[0].Value(), output[0] * step);
    } else {
      sink.BiasWeightKept(j, h, column[0].Value());
    }
    if (hidden) {
      // Summed in order of the target. The first term starts the sum rather
      // than an addition to 0: a zeroing loop here becomes a library call.
      for (int i = 1; i <= sources; ++i) {
        const double weight = column[i].Value();
        const double term = slope[i] * (weight * delta);
        sum[i] = (j == 1) ? term : sum[i] + term;
        sink.Weight(i, j, h, column[i], weight, output[i] * step);
      }
    } else {
      for (int i = 1; i <= sources; ++i) {
        sink.Weight(i, j, h, column[i], column[i].Value(), output[i] * step);
      }
    }
  }
  if (hidden) {
    if (targets == 0) {
      for (int i = 1; i <= sources; ++i) sum[i] = 0.0;  // nothing flows back
    }
    for (int i = 1; i <= sources; ++i) sink.HiddenDelta(i, h, sum[i]);
  }
}

// One pattern's step on a geometry checked by ValidatedGeometry; returns the
// pattern's share of the cycle's error. The Sink supplies the pattern
// (Input, Target) and receives what the step produces (OutputError,
// HiddenDelta, Weight, BiasWeightKept); Sink::kForwardWrite says whether
// the pass writes the node and slope cells. `carriedSlope` is what an
// unknown transfer code leaves as the slope.
template <typename WS, typename Sink>
[[gnu::always_inline]] inline double PatternStep(WS& ws, const NetGeometry& geometry,
                                                 const StepParameters& parameters,
                                                 double& carriedSlope, PatternValues& values,
                                                 Sink& sink) {
  const int last = geometry.OutputLayer();

  // Forward pass.
  double* in = values.pass.output[1];
  for (int i = 1; i <= geometry.Size(1); ++i) in[i] = sink.Input(i);
  ForwardPassOnCells<true, Sink::kForwardWrite>(ws, geometry, parameters.code, carriedSlope,
                                                values.pass);

  // Output deltas and the error: squared in analog mode, otherwise the
  // digital count of the integer part of 3.2 e^2. A net of one layer has its
  // inputs as outputs, and the slopes its cells hold.
  const double* output = values.pass.output[last];
  double error = 0.0;
  for (int j = 1; j <= geometry.OutputSize(); ++j) {
    const double slope =
        last >= 2 ? values.pass.slope[last][j] : ws.Slopes.Cells()[NodeCell(j, last)].Value();
    const double target = sink.Target(j);
    const double e = target - output[j];
    if (!std::isfinite(e)) ThrowOverflow("the error", j, last);
    const double share = parameters.analog ? e * e : std::floor(3.2 * (e * e));
    error += share;
    values.delta[last][j] = slope * e;
    sink.OutputError(j, target, e, share, slope * e);
  }

  // Hidden deltas and the weight update, from the last layer back.
  for (int h = last - 1; h >= 1; --h) {
    BackpropagateLayer(ws, geometry, h, parameters.epsilon, values, sink);
  }
  return error;
}

}  // namespace backprop
