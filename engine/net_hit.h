// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace backprop {

struct Workspace;

// A neurode or a connection of the drawn net.
struct NetElement {
  enum class Kind { None, Neurode, Connection };
  Kind kind = Kind::None;
  int layer = 0;   // the neurode's layer, or the connection's source layer h
  int node = 0;    // the neurode, or the connection's source i (0 the bias neurode)
  int target = 0;  // the connection's target j in layer h + 1
  friend bool operator==(const NetElement&, const NetElement&) = default;
};

// The element DrawNet draws nearest to user coordinates (x, y), if one lies
// within `tolerance` pixels, measured with the given pixels per user unit.
// Neurodes (their circles) come before the connections that end at them.
NetElement FindNetElement(const Workspace& ws, double x, double y, double pixelsPerUnitX,
                          double pixelsPerUnitY, double tolerance);

// The element's name: "layer 1, neurode 2 -> layer 2, neurode 1", "layer 1,
// bias -> layer 2, neurode 1" or "layer 2, neurode 1".
std::string NetElementName(const NetElement& element);

// What the weight inspector says of an element, its number to 6
// significant digits: "layer 1, neurode 2 -> layer 2, neurode 1: w =
// -.734512" or "layer 2, neurode 1: last value = .25".
std::string DescribeNetElement(const Workspace& ws, const NetElement& element);

// The drawn net in words, for a screen reader: "3 layers: 2, 3 and 2
// neurodes, bias in layers 1 and 2", counting what DrawNet draws.
std::string DescribeNet(const Workspace& ws);

}  // namespace backprop
