#include "engine/forward_pass.h"

#include "engine/forward_pass_cells.h"
#include "engine/net_geometry.h"
#include "engine/workspace.h"

namespace backprop {

TransferCode TransferCodeOf(double value) {
  if (value == 1) return TransferCode::Linear;
  if (value == 2) return TransferCode::SigmoidTanh;
  if (value == 3) return TransferCode::Arctangent;
  if (value == 4) return TransferCode::Sign;
  return TransferCode::Unknown;
}

void ForwardPass(Workspace& ws, const NetGeometry& geometry, bool recordSlopes, double& slope) {
  if (recordSlopes) {
    ForwardPassOnCells<true>(ws, geometry, slope);
  } else {
    ForwardPassOnCells<false>(ws, geometry, slope);
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
