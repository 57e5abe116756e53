// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/forward_pass.h"

#include "engine/net_geometry.h"
#include "engine/pattern_step.h"
#include "engine/workspace.h"

namespace backprop {

void ForwardPass(Workspace& ws, const NetGeometry& geometry, bool recordSlopes, double& slope) {
  // The pass writes the node values in place, and either the slopes or the
  // net inputs; the other goes to rows of its own.
  Row unkept[kMaxLayers + 1];
  PassRows rows;
  for (int k = 1; k <= geometry.layerCount; ++k) {
    rows.output[k] = ws.NodeValues.CurrentRow(k);
    rows.net[k] = recordSlopes ? unkept[k].data() : ws.NetInputs.CurrentRow(k);
    rows.slope[k] = recordSlopes ? ws.Slopes.CurrentRow(k) : unkept[k].data();
  }
  ForwardLayers(ws.Weights, geometry, TransferCodeOf(ws.TransferFunction), slope, rows);
}

void ForwardPass(Workspace& ws, bool recordSlopes) {
  double slope = 0.0;
  ForwardPass(ws, ValidatedGeometry(ws), recordSlopes, slope);
}

double OutputToUserRange(const Workspace& ws, double y) {
  const double low = ws.OutputRangeLow;
  const double high = ws.OutputRangeHigh;
  return low + (high - low) * (y + 1.0) / 2.0;
}

}  // namespace backprop
