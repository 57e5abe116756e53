#include "engine/forward_pass.h"

#include "engine/engine_error.h"
#include "engine/net_geometry.h"
#include "engine/workspace.h"

namespace backprop {

namespace {

// The pass on raw cells: the geometry has been checked, so no index here
// can leave the tables.
template <bool kRecordSlopes>
void PassOnCells(Workspace& ws, const NetGeometry& geometry, double& slope) {
  const TransferCode code = TransferCodeOf(ws.TransferFunction);
  WorkspaceValue* nodes = ws.NodeValues.Cells();
  const WorkspaceValue* weights = ws.Weights.Cells();
  WorkspaceValue* record = kRecordSlopes ? ws.Slopes.Cells() : ws.NetInputs.Cells();
  for (int k = 2; k <= geometry.layerCount; ++k) {
    const int sources = geometry.Size(k - 1);
    const int targets = geometry.Size(k);
    const WorkspaceValue* previous = nodes + NodeCell(0, k - 1);
    for (int j = 1; j <= targets; ++j) {
      const WorkspaceValue* w = weights + WeightCell(0, j, k - 1);
      double x = 0.0;
      for (int i = 0; i <= sources; ++i) x += w[i].Value() * previous[i].Value();
      if (!std::isfinite(x)) throw EngineError("net input overflows");
      const double y = Transfer(code, x, slope);
      nodes[NodeCell(j, k)] = y;
      record[NodeCell(j, k)] = kRecordSlopes ? slope : x;
    }
  }
}

}  // namespace

TransferCode TransferCodeOf(double value) {
  if (value == 1) return TransferCode::Linear;
  if (value == 2) return TransferCode::SigmoidTanh;
  if (value == 3) return TransferCode::Arctangent;
  if (value == 4) return TransferCode::Sign;
  return TransferCode::Unknown;
}

void ForwardPass(Workspace& ws, const NetGeometry& geometry, bool recordSlopes, double& slope) {
  if (recordSlopes) {
    PassOnCells<true>(ws, geometry, slope);
  } else {
    PassOnCells<false>(ws, geometry, slope);
  }
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
