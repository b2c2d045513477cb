// Byte buffers used for streams and files.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvix {

using Bytes = std::vector<std::uint8_t>;

inline void append_bytes(Bytes& out, std::string_view s) { out.insert(out.end(), s.begin(), s.end()); }
inline void append_u16le(Bytes& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void append_u32le(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

}  // namespace quorvix
