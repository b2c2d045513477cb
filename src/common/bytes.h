// Byte buffers used for streams and files, and the little-endian integer
// helpers that every writer and reader of them shares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

namespace quorvix {

using Bytes = std::vector<std::uint8_t>;

// Appends the bytes of `s`. They are inserted as bytes, not as chars, so the
// insert is one block copy rather than a conversion loop over each char.
inline void append_bytes(Bytes& out, std::string_view s) {
  const auto* first = reinterpret_cast<const std::uint8_t*>(s.data());
  out.insert(out.end(), first, first + s.size());
}

// Appends a record of a few bytes. They are pushed one by one, which for so
// few bytes costs less than a range insert.
inline void append_record(Bytes& out, std::initializer_list<std::uint8_t> bytes) {
  for (const std::uint8_t b : bytes) out.push_back(b);
}

// Appends `v` least significant byte first.
inline void append_u16le(Bytes& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void append_u32le(Bytes& out, std::uint32_t v) {
  for (unsigned i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

// Stores `v` at byte `at` of a buffer that is already large enough.
inline void store_u16le(std::span<std::uint8_t> out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v & 0xFF);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void store_u32le(std::span<std::uint8_t> out, std::size_t at, std::uint32_t v) {
  for (unsigned i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}
inline void store_u64le(std::span<std::uint8_t> out, std::size_t at, std::uint64_t v) {
  for (unsigned i = 0; i < 8; ++i) out[at + i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}

// Reads the integer at byte `at`; the caller has checked that its bytes are there.
inline std::uint16_t load_u16le(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
inline std::uint32_t load_u32le(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
inline std::uint64_t load_u64le(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint64_t>(load_u32le(b, at)) |
         (static_cast<std::uint64_t>(load_u32le(b, at + 4)) << 32);
}

}  // namespace quorvix
