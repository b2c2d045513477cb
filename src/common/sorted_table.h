// Compile-time sorted indexes over constant lookup tables, so a table
// keeps its listed order (first match wins) and is still searched in
// logarithmic time.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace quorvix {

// Positions of the rows of `table` ordered by `key(row)`; rows with equal keys
// keep their listed order, so the first position of a key is its first row.
template <class Row, std::size_t N, class Key>
constexpr std::array<std::uint16_t, N> sorted_table_index(const Row (&table)[N], Key key) {
  static_assert(N <= 0xFFFF);
  std::array<std::uint16_t, N> index{};
  for (std::size_t i = 0; i < N; ++i) index[i] = static_cast<std::uint16_t>(i);
  std::sort(index.begin(), index.end(), [&](std::uint16_t a, std::uint16_t b) {
    const auto ka = key(table[a]);
    const auto kb = key(table[b]);
    return ka < kb || (ka == kb && a < b);
  });
  return index;
}

// The first row (in listed order) whose key equals `wanted`, or nullptr.
template <class Row, std::size_t N, class Key, class Wanted>
constexpr const Row* find_in_table(const Row (&table)[N], const std::array<std::uint16_t, N>& index, Key key,
                                   const Wanted& wanted) {
  const auto it = std::lower_bound(index.begin(), index.end(), wanted,
                                   [&](std::uint16_t i, const Wanted& w) { return key(table[i]) < w; });
  if (it == index.end() || !(key(table[*it]) == wanted)) return nullptr;
  return &table[*it];
}

}  // namespace quorvix
