#pragma once

#include <cmath>

#include "engine/engine_error.h"
#include "engine/forward_pass.h"
#include "engine/net_geometry.h"
#include "engine/workspace.h"

namespace backprop {

// Net inputs of four neurodes of one layer, whose weight columns start at
// `column`, from the `sources` + 1 outputs (bias first) of the layer before.
// Every sum runs in order of the source; computing four at once only lets
// the processor overlap their additions. The sums stay in locals: kept in
// an array they would make a chain through memory.
inline void FourNetInputs(const WorkspaceValue* column, const double* in, int sources,
                          double* x) {
  const WorkspaceValue* c0 = column;
  const WorkspaceValue* c1 = column + kTargetStride;
  const WorkspaceValue* c2 = column + 2 * kTargetStride;
  const WorkspaceValue* c3 = column + 3 * kTargetStride;
  double x0 = 0.0, x1 = 0.0, x2 = 0.0, x3 = 0.0;
  for (int i = 0; i <= sources; ++i) {
    const double v = in[i];
    x0 += c0[i].Value() * v;
    x1 += c1[i].Value() * v;
    x2 += c2[i].Value() * v;
    x3 += c3[i].Value() * v;
  }
  x[0] = x0;
  x[1] = x1;
  x[2] = x2;
  x[3] = x3;
}

// The net input of one neurode whose weight column starts at `column`.
inline double NetInput(const WorkspaceValue* column, const double* in, int sources) {
  double x = 0.0;
  for (int i = 0; i <= sources; ++i) x += column[i].Value() * in[i];
  return x;
}

// The outputs (bias first) and slopes of every layer of one pass as plain
// numbers, so that training reads them back without a trip through the
// workspace cells.
struct PassValues {
  double output[kMaxLayers + 1][kMaxNeurodes + 1];
  double slope[kMaxLayers + 1][kMaxNeurodes + 1];
};

// The forward pass on raw cells, for callers that checked the geometry
// with ValidatedGeometry: no index here can leave the tables. Layer 1 comes
// from values.output[1], which the caller fills as it fills the cells;
// every later layer goes to the cells and to `values`. With kOverwrite the
// node and slope cells must be set already (training marks them), and only
// their values are written. Inline, so training's per-pattern loop can fold
// it in.
template <bool kRecordSlopes, bool kOverwrite = false>
inline void ForwardPassOnCells(Workspace& ws, const NetGeometry& geometry, double& carriedSlope,
                               PassValues& values) {
  const TransferCode code = TransferCodeOf(ws.TransferFunction);
  WorkspaceValue* nodes = ws.NodeValues.Cells();
  const WorkspaceValue* weights = ws.Weights.Cells();
  WorkspaceValue* record = kRecordSlopes ? ws.Slopes.Cells() : ws.NetInputs.Cells();
  double slope = carriedSlope;  // a local, so it does not travel through memory
  for (int k = 2; k <= geometry.layerCount; ++k) {
    const int sources = geometry.Size(k - 1);
    const int targets = geometry.Size(k);
    const double* in = values.output[k - 1];
    // All net inputs of the layer first, then all outputs: the transfer
    // functions of one layer are independent and can overlap.
    double x[kMaxNeurodes + 1];
    int j = 1;
    for (; j + 3 <= targets; j += 4) {
      FourNetInputs(weights + WeightCell(0, j, k - 1), in, sources, x + j);
    }
    for (; j <= targets; ++j) x[j] = NetInput(weights + WeightCell(0, j, k - 1), in, sources);

    double* out = values.output[k];
    double* slopes = values.slope[k];
    out[0] = nodes[NodeCell(0, k)].Value();
    for (j = 1; j <= targets; ++j) {
      if (!std::isfinite(x[j])) throw EngineError("a net input is too large (overflow)");
      const double y = Transfer(code, x[j], slope);
      out[j] = y;
      slopes[j] = slope;
      if constexpr (kOverwrite) {
        OverwriteSetCell(nodes[NodeCell(j, k)], y);
        OverwriteSetCell(record[NodeCell(j, k)], kRecordSlopes ? slope : x[j]);
      } else {
        nodes[NodeCell(j, k)] = y;
        record[NodeCell(j, k)] = kRecordSlopes ? slope : x[j];
      }
    }
  }
  carriedSlope = slope;
}

}  // namespace backprop
