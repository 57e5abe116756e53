// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>

#include "engine/whole_number.h"
#include "engine/workspace_value.h"

namespace backprop {

// Turns a table index into an integer: a real index is rounded to the
// nearest integer, halves to even, as every whole number of the program is.
// Anything outside 0..limit (or not a number) is an EngineError.
template <typename I>
int CheckedIndex(I index, int limit) {
  return static_cast<int>(CheckedWhole(static_cast<double>(index), 0, limit, "a table index"));
}

// A fixed table of workspace cells with bounds 0..(Extent-1) in every
// dimension; the first index varies fastest (column-major), so a column of
// weights into one neurode lies in neighbouring cells.
// operator() checks every index; Cells() gives the raw storage to hot loops
// that have validated their bounds once.
template <typename Cell, int... Extents>
class Table {
 public:
  static constexpr std::size_t kSize = (static_cast<std::size_t>(Extents) * ...);

  template <typename... I>
  Cell& operator()(I... index) {
    static_assert(sizeof...(I) == sizeof...(Extents), "wrong number of indices");
    return cells_[Offset(index...)];
  }
  template <typename... I>
  const Cell& operator()(I... index) const {
    static_assert(sizeof...(I) == sizeof...(Extents), "wrong number of indices");
    return cells_[Offset(index...)];
  }

  Cell* Cells() { return cells_.data(); }
  const Cell* Cells() const { return cells_.data(); }
  void Reset() { cells_.fill(Cell{}); }

 private:
  template <typename... I>
  static std::size_t Offset(I... index) {
    constexpr std::array<int, sizeof...(Extents)> extents{Extents...};
    const std::array<int, sizeof...(I)> checked = CheckAll(extents, index...);
    std::size_t offset = 0;
    std::size_t stride = 1;
    for (std::size_t d = 0; d < checked.size(); ++d) {
      offset += static_cast<std::size_t>(checked[d]) * stride;
      stride *= static_cast<std::size_t>(extents[d]);
    }
    return offset;
  }
  template <std::size_t N, typename... I>
  static std::array<int, N> CheckAll(const std::array<int, N>& extents, I... index) {
    std::size_t d = 0;
    return {CheckedIndex(index, extents[d++] - 1)...};
  }

  std::array<Cell, kSize> cells_{};
};

}  // namespace backprop
