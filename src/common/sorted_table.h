// Compile-time indexes over constant lookup tables, so a table keeps its
// listed order (first match wins) and is still searched fast: tables keyed
// by names get a hash index (one hash of the wanted name, about one probe,
// one comparison), tables keyed otherwise a sorted index searched in
// logarithmic time. `table_index` picks the kind from the key's type and
// `find_in_table` searches either. A table keyed by code points that is
// searched on every character can ask for a hash index of its own with
// `code_table_index`.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

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

// 32-bit FNV-1a.
constexpr std::uint32_t name_hash(std::string_view name) {
  std::uint32_t h = 2166136261u;
  for (const char c : name) {
    h ^= static_cast<unsigned char>(c);
    h *= 16777619u;
  }
  return h;
}

// A name with its hash. A name looked up in several tables is hashed once
// when it is passed as a HashedName; any string converts to one implicitly.
struct HashedName {
  template <class S, class = std::enable_if_t<std::is_convertible_v<const S&, std::string_view>>>
  constexpr HashedName(const S& s) : text(s), hash(name_hash(text)) {}  // NOLINT: converts like a string_view

  std::string_view text;
  std::uint32_t hash;
};

// An open-addressing hash index over the rows of a table keyed by names: at
// least twice as many slots as rows, probed linearly. A slot holds its row's
// position plus one (0 is empty) and the name's hash, so a probe compares the
// name itself only when the hashes agree.
template <std::size_t N>
struct NameIndex {
  static constexpr std::size_t kSlots = std::bit_ceil(2 * N + 1);
  std::array<std::uint16_t, kSlots> rows{};
  std::array<std::uint32_t, kSlots> hashes{};
};

template <class Row, std::size_t N, class Key>
constexpr NameIndex<N> name_table_index(const Row (&table)[N], Key key) {
  static_assert(N < 0xFFFF);
  NameIndex<N> index;
  constexpr std::size_t kMask = NameIndex<N>::kSlots - 1;
  for (std::size_t i = 0; i < N; ++i) {
    const std::string_view name = key(table[i]);
    const std::uint32_t h = name_hash(name);
    std::size_t slot = h & kMask;
    // Rows go in in listed order, so a name already present keeps its first row.
    bool present = false;
    while (index.rows[slot] != 0) {
      if (index.hashes[slot] == h && std::string_view(key(table[index.rows[slot] - 1])) == name) {
        present = true;
        break;
      }
      slot = (slot + 1) & kMask;
    }
    if (present) continue;
    index.rows[slot] = static_cast<std::uint16_t>(i + 1);
    index.hashes[slot] = h;
  }
  return index;
}

// The first row (in listed order) whose name is `wanted`, or nullptr.
template <class Row, std::size_t N, class Key>
constexpr const Row* find_in_table(const Row (&table)[N], const NameIndex<N>& index, Key key,
                                   HashedName wanted) {
  constexpr std::size_t kMask = NameIndex<N>::kSlots - 1;
  const std::uint32_t h = wanted.hash;
  for (std::size_t slot = h & kMask; index.rows[slot] != 0; slot = (slot + 1) & kMask) {
    if (index.hashes[slot] != h) continue;
    const Row& row = table[index.rows[slot] - 1];
    if (std::string_view(key(row)) == wanted.text) return &row;
  }
  return nullptr;
}

// An open-addressing hash index over the rows of a table keyed by code points
// or other integers, laid out like NameIndex: at least twice as many slots as
// rows, probed linearly, a slot holding its row's position plus one. A probe
// compares the row's key itself, which is as cheap as comparing a hash.
template <std::size_t N>
struct CodeIndex {
  static constexpr std::size_t kSlots = std::bit_ceil(2 * N + 1);
  std::array<std::uint16_t, kSlots> rows{};
};

// Fibonacci hashing: the top bits of the key times 2^32 / phi. Neighbouring
// code points (the bulk of a symbol table) land far apart.
template <std::size_t Slots>
constexpr std::size_t code_slot(std::uint32_t code) {
  constexpr int kShift = 32 - std::countr_zero(Slots);
  return static_cast<std::size_t>((code * 2654435769u) >> kShift);
}

template <class Row, std::size_t N, class Key>
constexpr CodeIndex<N> code_table_index(const Row (&table)[N], Key key) {
  static_assert(N < 0xFFFF);
  constexpr std::size_t kSlots = CodeIndex<N>::kSlots;
  static_assert(kSlots >= 2 && kSlots <= (std::size_t{1} << 31));
  CodeIndex<N> index;
  constexpr std::size_t kMask = kSlots - 1;
  for (std::size_t i = 0; i < N; ++i) {
    const auto code = static_cast<std::uint32_t>(key(table[i]));
    std::size_t slot = code_slot<kSlots>(code);
    // Rows go in in listed order, so a code already present keeps its first row.
    bool present = false;
    while (index.rows[slot] != 0) {
      if (static_cast<std::uint32_t>(key(table[index.rows[slot] - 1])) == code) {
        present = true;
        break;
      }
      slot = (slot + 1) & kMask;
    }
    if (present) continue;
    index.rows[slot] = static_cast<std::uint16_t>(i + 1);
  }
  return index;
}

// The first row (in listed order) whose key is `wanted`, or nullptr.
template <class Row, std::size_t N, class Key>
constexpr const Row* find_in_table(const Row (&table)[N], const CodeIndex<N>& index, Key key,
                                   std::uint32_t wanted) {
  constexpr std::size_t kMask = CodeIndex<N>::kSlots - 1;
  for (std::size_t slot = code_slot<CodeIndex<N>::kSlots>(wanted); index.rows[slot] != 0;
       slot = (slot + 1) & kMask) {
    const Row& row = table[index.rows[slot] - 1];
    if (static_cast<std::uint32_t>(key(row)) == wanted) return &row;
  }
  return nullptr;
}

// The index that suits the table's key: a hash index for names, a sorted one
// for everything else.
template <class Row, std::size_t N, class Key>
constexpr auto table_index(const Row (&table)[N], Key key) {
  using KeyType = std::decay_t<decltype(key(table[0]))>;
  if constexpr (std::is_convertible_v<KeyType, std::string_view>) {
    return name_table_index(table, key);
  } else {
    return sorted_table_index(table, key);
  }
}

}  // namespace quorvix
