// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/designer.h"

#include "engine/net_layout.h"
#include "engine/workspace.h"

namespace backprop {

namespace {
// The neurode zone ends short of column 10.5, so that its columns stay
// within the tables.
constexpr double kNeurodeZoneRight = 10.2;
}  // namespace

void DesignerPress(Workspace& ws, double x, double y) {
  if (x > 0 && y < kDividerY) {
    const int column = NearestLayer(x);
    // A press right of column 10.5 has no bias flag to toggle.
    if (column > kMaxLayers) return;
    ws.BiasFlags(column) = (ws.BiasFlags(column) == 1) ? 0 : 1;
    return;
  }
  if (x > 0 && x < kNeurodeZoneRight && y > kDividerY) {
    const int column = NearestLayer(x);
    const int row = NearestRow(y);
    // The drawing ends at y = 10, so only a caller outside the window can
    // ask for an eleventh neurode; it is refused rather than stored.
    if (row > kMaxNeurodes) return;
    if (column > ws.LayerCount) ws.LayerCount = column;
    ws.LayerSizes(column) = row;
  }
}

void RemoveOneLayer(Workspace& ws) {
  ws.LayerCount = ws.LayerCount - 1;
  if (ws.LayerCount < 2) ws.LayerCount = 2;
}

}  // namespace backprop
