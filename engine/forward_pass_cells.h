#pragma once

#include <cmath>
#include <string>

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
inline void FourNetInputs(const WorkspaceValue* column, const double* in, int sources, double* x) {
  const WorkspaceValue* c0 = column;
  const WorkspaceValue* c1 = column + kTargetStride;
  const WorkspaceValue* c2 = c1 + kTargetStride;
  const WorkspaceValue* c3 = c2 + kTargetStride;
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

// Reports a value of neurode j of layer k that is no longer finite. Kept out
// of line, so the hot loops that check stay small.
[[noreturn, gnu::cold, gnu::noinline]] inline void ThrowOverflow(const char* what, int j, int k) {
  throw EngineError(std::string(what) + " of neurode " + std::to_string(j) + " of layer " +
                    std::to_string(k) + " is too large (overflow)");
}

// The net inputs, outputs (bias first) and slopes of every layer of one
// pass as plain numbers, so that training reads them back without a trip
// through the workspace cells. The bias outputs (output[k][0]) are the
// caller's to fill; the pass fills everything else of layers 2..L.
struct PassValues {
  double net[kMaxLayers + 1][kMaxNeurodes + 1];
  double output[kMaxLayers + 1][kMaxNeurodes + 1];
  double slope[kMaxLayers + 1][kMaxNeurodes + 1];
};

// How a pass treats the workspace's NodeValues and Slopes (or NetInputs)
// cells: set them, overwrite cells already set (training marks them first,
// see OverwriteSetCell), or leave them alone (a read-only pass).
enum class CellWrite { Set, Overwrite, None };

// The forward pass on raw cells, for callers that checked the geometry
// with ValidatedGeometry: no index here can leave the tables. Layer 1 and
// every bias output come from `values`, which the caller fills; every later
// neurode goes to `values` and, unless kWrite is None, to the cells: with
// kRecordSlopes its slope to Slopes, otherwise its net input to NetInputs.
// `carriedSlope` is what an unknown transfer code leaves as the slope, from
// neurode to neurode and pass to pass. Inline, so training's per-pattern
// loop can fold it in. WS is Workspace, or const Workspace for kWrite None.
template <bool kRecordSlopes, CellWrite kWrite, typename WS>
inline void ForwardPassOnCells(WS& ws, const NetGeometry& geometry, TransferCode code,
                               double& carriedSlope, PassValues& values) {
  const WorkspaceValue* weights = ws.Weights.Cells();
  double slope = carriedSlope;  // a local, so it does not travel through memory
  for (int k = 2; k <= geometry.layerCount; ++k) {
    const int sources = geometry.Size(k - 1);
    const int targets = geometry.Size(k);
    const double* in = values.output[k - 1];
    // All net inputs of the layer first, then all outputs: the transfer
    // functions of one layer are independent and can overlap.
    double* x = values.net[k];
    int j = 1;
    for (; j + 3 <= targets; j += 4) {
      FourNetInputs(weights + WeightCell(0, j, k - 1), in, sources, x + j);
    }
    for (; j <= targets; ++j) x[j] = NetInput(weights + WeightCell(0, j, k - 1), in, sources);

    double* out = values.output[k];
    double* slopes = values.slope[k];
    for (j = 1; j <= targets; ++j) {
      if (!std::isfinite(x[j])) ThrowOverflow("the net input", j, k);
      const double y = Transfer(code, x[j], slope);
      out[j] = y;
      slopes[j] = slope;
      if constexpr (kWrite != CellWrite::None) {
        WorkspaceValue& node = ws.NodeValues.Cells()[NodeCell(j, k)];
        WorkspaceValue& record =
            (kRecordSlopes ? ws.Slopes.Cells() : ws.NetInputs.Cells())[NodeCell(j, k)];
        if constexpr (kWrite == CellWrite::Overwrite) {
          OverwriteSetCell(node, y);
          OverwriteSetCell(record, kRecordSlopes ? slope : x[j]);
        } else {
          node = y;
          record = kRecordSlopes ? slope : x[j];
        }
      }
    }
  }
  carriedSlope = slope;
}

}  // namespace backprop
