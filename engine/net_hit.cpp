// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/net_hit.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/net_geometry.h"
#include "engine/net_layout.h"
#include "engine/number_text.h"
#include "engine/workspace.h"

namespace backprop {

namespace {

// Distance in pixels from p to the segment a-b.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax;
  const double dy = by - ay;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / length2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// "1", "1 and 2", "1, 2 and 3".
std::string Listed(const std::vector<int>& numbers) {
  std::string text;
  for (std::size_t n = 0; n < numbers.size(); ++n) {
    if (n > 0) text += n + 1 == numbers.size() ? " and " : ", ";
    text += std::to_string(numbers[n]);
  }
  return text;
}

std::string NodeName(int layer, int node) {
  return "layer " + std::to_string(layer) +
         (node == 0 ? ", bias" : ", neurode " + std::to_string(node));
}

}  // namespace

NetElement FindNetElement(const Workspace& ws, double x, double y, double pixelsPerUnitX,
                          double pixelsPerUnitY, double tolerance) {
  // In pixels, so a tolerance means the same on every axis.
  const double px = x * pixelsPerUnitX;
  const double py = y * pixelsPerUnitY;
  const double layerCount = std::min<double>(ws.LayerCount, kMaxLayers);
  const auto size = [&ws](int k) { return std::min<double>(ws.LayerSizes(k), kMaxNeurodes); };

  const double radius = kNeurodeRadius * pixelsPerUnitX;
  for (int k = 1; k <= layerCount; ++k) {
    for (int j = 0; j <= size(k); ++j) {
      if (j == 0 && ws.BiasFlags(k) != 1) continue;
      const NetPoint at = NeurodeAt(k, j);
      const double d = std::hypot(px - at.x * pixelsPerUnitX, py - at.y * pixelsPerUnitY);
      if (d <= radius + tolerance) return {NetElement::Kind::Neurode, k, j, 0};
    }
  }

  NetElement best;
  double bestDistance = tolerance;
  for (int h = 1; h <= layerCount - 1; ++h) {
    for (int i = 0; i <= size(h); ++i) {
      if (i == 0 && ws.BiasFlags(h) != 1) continue;
      for (int j = 1; j <= size(h + 1); ++j) {
        const NetPoint from = NeurodeAt(h, i);
        const NetPoint to = NeurodeAt(h + 1, j);
        const double d = SegmentDistance(px, py, from.x * pixelsPerUnitX, from.y * pixelsPerUnitY,
                                         to.x * pixelsPerUnitX, to.y * pixelsPerUnitY);
        if (d <= bestDistance) {
          bestDistance = d;
          best = {NetElement::Kind::Connection, h, i, j};
        }
      }
    }
  }
  return best;
}

std::string NetElementName(const NetElement& e) {
  switch (e.kind) {
    case NetElement::Kind::Neurode:
      return NodeName(e.layer, e.node);
    case NetElement::Kind::Connection:
      return NodeName(e.layer, e.node) + " -> " + NodeName(e.layer + 1, e.target);
    case NetElement::Kind::None:
      break;
  }
  return {};
}

std::string DescribeNetElement(const Workspace& ws, const NetElement& e) {
  switch (e.kind) {
    case NetElement::Kind::Neurode:
      return NetElementName(e) + ": last value =" + ShortNumberText(ws.NodeValues(e.node, e.layer));
    case NetElement::Kind::Connection:
      return NetElementName(e) + ": w =" + ShortNumberText(ws.Weights(e.node, e.target, e.layer));
    case NetElement::Kind::None:
      break;
  }
  return {};
}

}  // namespace backprop

namespace backprop {

std::string DescribeNet(const Workspace& ws) {
  const int layers = std::min(LoopCount(ws.LayerCount), kMaxLayers);
  if (layers == 0) return "No layers";
  std::vector<int> sizes;
  std::vector<int> biased;
  for (int k = 1; k <= layers; ++k) {
    sizes.push_back(std::min(LoopCount(ws.LayerSizes(k)), kMaxNeurodes));
    if (ws.BiasFlags(k) == 1) biased.push_back(k);
  }
  std::string text = std::to_string(layers) + (layers == 1 ? " layer: " : " layers: ") +
                     Listed(sizes) + (layers == 1 && sizes[0] == 1 ? " neurode" : " neurodes");
  if (biased.empty()) return text + ", no bias neurodes";
  return text + (biased.size() == 1 ? ", bias in layer " : ", bias in layers ") + Listed(biased);
}

}  // namespace backprop
