// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace backprop {

// n doubles (or n 64-bit words) side by side, a GCC vector type: arithmetic
// on it works lane by lane with the very operations a double would see, so
// the compiler may use vector registers where the target has them while
// every lane's result is bit for bit that of the scalar computation.
// One lane is a plain double, which the compiler keeps in a register.
template <int n>
struct LaneTypes {
  typedef double Doubles __attribute__((vector_size(8 * n)));
  typedef std::uint64_t Words __attribute__((vector_size(8 * n)));
};
template <>
struct LaneTypes<1> {
  typedef double Doubles;
  typedef std::uint64_t Words;
};
template <int n>
using Lanes = typename LaneTypes<n>::Doubles;
template <int n>
using LaneWords = typename LaneTypes<n>::Words;

// Sets lane l of n lanes. (Clang binds no reference to a vector's lane, so
// a lane is set, not returned for assignment.)
template <typename V, typename T>
[[gnu::always_inline]] inline void SetLane(V& v, int l, T value) {
  if constexpr (std::is_arithmetic_v<V>) {
    v = value;
  } else {
    v[l] = value;
  }
}
// Lane l of n lanes.
template <typename V>
[[gnu::always_inline]] inline auto LaneOf(const V& v, int l) {
  if constexpr (std::is_arithmetic_v<V>) {
    return v;
  } else {
    return v[l];
  }
}

// The bits of lanes as words, and back.
template <int n>
[[gnu::always_inline]] inline LaneWords<n> BitsOf(Lanes<n> v) {
  LaneWords<n> w;
  std::memcpy(&w, &v, sizeof w);
  return w;
}
template <int n>
[[gnu::always_inline]] inline Lanes<n> DoublesOf(LaneWords<n> w) {
  Lanes<n> v;
  std::memcpy(&v, &w, sizeof v);
  return v;
}

// n neighbouring numbers of a row, and back.
template <int n>
[[gnu::always_inline]] inline Lanes<n> Load(const double* p) {
  Lanes<n> v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
template <int n>
[[gnu::always_inline]] inline void Store(double* p, Lanes<n> v) {
  std::memcpy(p, &v, sizeof v);
}

// Runs block.operator()<n>(j) over j = first..last in blocks of kWidth
// neighbours, then of 2 and 1 for what is left, so every number is in
// exactly one block. kWidth is the widest block the target's vector
// registers hold: 2 doubles in the base instruction set, 4 with AVX2.
template <int kWidth, typename Block>
[[gnu::always_inline]] inline void ForEachBlock(int first, int last, Block&& block) {
  int j = first;
  for (; j + kWidth - 1 <= last; j += kWidth) block.template operator()<kWidth>(j);
  if constexpr (kWidth > 2) {
    if (j + 1 <= last) {
      block.template operator()<2>(j);
      j += 2;
    }
  }
  if (j <= last) block.template operator()<1>(j);
}

}  // namespace backprop
