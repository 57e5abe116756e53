// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/draw_net.h"

#include "engine/canvas.h"
#include "engine/host.h"
#include "engine/workspace.h"

namespace backprop {

void DrawNet(const Workspace& ws, Canvas& canvas) {
  canvas.SetScale(kNetScaleLeft, kNetScaleTop, kNetScaleRight, kNetScaleBottom);
  canvas.SetLineWidth(1);
  canvas.Clear();

  canvas.MoveTo(kBiasLabelAt.x, kBiasLabelAt.y);
  canvas.Print("Bias  ");
  canvas.EndLine();
  canvas.MoveTo(kActiveLabelAt.x, kActiveLabelAt.y);
  canvas.Print("Active");
  canvas.EndLine();

  canvas.SetLineStyle(LineStyle::Dotted);
  canvas.Line(kDividerLeft, kDividerY, kDividerRight, kDividerY);
  canvas.SetLineStyle(LineStyle::Solid);

  const double layerCount = ws.LayerCount;
  for (int k = 1; k <= layerCount; ++k) {
    const double size = ws.LayerSizes(k);
    for (int j = 0; j <= size; ++j) {
      const NetPoint at = NeurodeAt(k, j);
      if (j > 0 || ws.BiasFlags(k) == 1) canvas.Circle(at.x, at.y, kNeurodeRadius);
    }
  }

  for (int h = 1; h <= layerCount - 1; ++h) {
    const double sourceSize = ws.LayerSizes(h);
    const double targetSize = ws.LayerSizes(h + 1);
    const bool hasBias = ws.BiasFlags(h) == 1;
    for (int i = 0; i <= sourceSize; ++i) {
      for (int j = 1; j <= targetSize; ++j) {
        const double weight = ws.Weights(i, j, h);
        const bool thick = weight > kThickWeight || weight < -kThickWeight;
        canvas.SetLineWidth(thick ? 3 : 1);
        if (!hasBias && i == 0) continue;
        const NetPoint from = NeurodeAt(h, i);
        const NetPoint to = NeurodeAt(h + 1, j);
        canvas.Line(from.x, from.y, to.x, to.y, weight < 0 ? kRed : kBlack);
      }
    }
  }
  canvas.SetLineWidth(1);
}

void RedrawNet(const Workspace& ws, Host& host) {
  DrawNet(ws, host.MainCanvas());
  host.NetRedrawn();
}

}  // namespace backprop
