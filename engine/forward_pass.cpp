#include "engine/forward_pass.h"

#include "engine/forward_pass_cells.h"
#include "engine/net_geometry.h"
#include "engine/workspace.h"

namespace backprop {

void ForwardPass(Workspace& ws, const NetGeometry& geometry, bool recordSlopes, double& slope) {
  PassValues values;
  for (int i = 0; i <= geometry.Size(1); ++i) values.output[1][i] = ws.NodeValues(i, 1);
  for (int k = 2; k <= geometry.layerCount; ++k) values.output[k][0] = ws.NodeValues(0, k);
  const TransferCode code = TransferCodeOf(ws.TransferFunction);
  if (recordSlopes) {
    ForwardPassOnCells<true, CellWrite::Set>(ws, geometry, code, slope, values);
  } else {
    ForwardPassOnCells<false, CellWrite::Set>(ws, geometry, code, slope, values);
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
