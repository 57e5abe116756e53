// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>

#include "engine/table.h"

namespace backprop {

// Table bounds shared by every part of the program.
inline constexpr int kMaxLayers = 10;     // layers 1..10
inline constexpr int kMaxNeurodes = 10;   // neurodes 1..10 per layer, 0 is the bias
inline constexpr int kMaxPatterns = 300;  // patterns 1..300
inline constexpr int kMaxLineItems = 20;  // items 1..20 of a program line

// One row of the net's numbers: the neurodes 0..10 of a layer (0 the bias),
// or the weights from one source neurode to the neurodes 0..10 of the next
// layer (0 is never a target), and one slot of padding so that rows start
// on 32-byte boundaries and vector loops may run past the last neurode.
inline constexpr int kRowSlots = kMaxNeurodes + 2;
using Row = std::array<double, kRowSlots>;

// The numbers of the net that training and the forward pass use, as plain
// doubles in rows: node tables hold one row per layer, the weight table
// one row per source layer and source neurode, so a target's sum and the
// weight update both run along rows. A value never written reads as 0.
//
// Each table is held twice. Readers and writers see the current rows; a
// training step writes its results into the spare rows and, once every
// number of the step is finite, Commit() makes them current. A step that
// would overflow therefore leaves the net as it was, with nothing to undo.
// MatchSpare() copies the current rows into the spare ones before a step:
// cells a step does not write then read the same on either side.
template <int kRows>
class NetTable {
 public:
  // Every slot of the current side, row after row.
  static constexpr std::size_t kSize = static_cast<std::size_t>(kRows) * kRowSlots;
  double* Cells() { return sides_[current_][0].data(); }
  const double* Cells() const { return sides_[current_][0].data(); }

  double* CurrentRow(int row) { return sides_[current_][row].data(); }
  const double* CurrentRow(int row) const { return sides_[current_][row].data(); }
  double* SpareRow(int row) { return sides_[1 - current_][row].data(); }

  void MatchSpare() { sides_[1 - current_] = sides_[current_]; }
  void Commit() { current_ = 1 - current_; }
  // Every current value set to 0, as a fresh table reads.
  void Reset() { sides_[current_] = {}; }

 private:
  alignas(32) std::array<std::array<Row, kRows>, 2> sides_{};
  int current_ = 0;
};

// NodeValues, NetInputs, Slopes and Deltas: (node, layer), both 0..10.
class NodeTable : public NetTable<kMaxLayers + 1> {
 public:
  template <typename I, typename K>
  double& operator()(I node, K layer) {
    const int j = CheckedIndex(node, kMaxNeurodes);
    return CurrentRow(CheckedIndex(layer, kMaxLayers))[j];
  }
  template <typename I, typename K>
  double operator()(I node, K layer) const {
    const int j = CheckedIndex(node, kMaxNeurodes);
    return CurrentRow(CheckedIndex(layer, kMaxLayers))[j];
  }
};

// The row of the weights from neurode `source` of layer `layer`.
constexpr int WeightRow(int source, int layer) { return layer * (kMaxNeurodes + 1) + source; }

// Weights(i, j, h): from neurode i of layer h (0 the bias) to neurode j of
// layer h + 1, every index 0..10.
class WeightTable : public NetTable<(kMaxLayers + 1) * (kMaxNeurodes + 1)> {
 public:
  template <typename I, typename J, typename H>
  double& operator()(I source, J target, H layer) {
    const Cell cell = Checked(source, target, layer);
    return CurrentRow(cell.row)[cell.target];
  }
  template <typename I, typename J, typename H>
  double operator()(I source, J target, H layer) const {
    const Cell cell = Checked(source, target, layer);
    return CurrentRow(cell.row)[cell.target];
  }

 private:
  struct Cell {
    int row;
    int target;
  };
  // The indices are checked in the order they are written.
  template <typename I, typename J, typename H>
  static Cell Checked(I source, J target, H layer) {
    const int i = CheckedIndex(source, kMaxNeurodes);
    const int j = CheckedIndex(target, kMaxNeurodes);
    return {WeightRow(i, CheckedIndex(layer, kMaxLayers)), j};
  }
};

}  // namespace backprop
