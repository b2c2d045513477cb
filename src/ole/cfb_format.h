// Constants of the compound file binary format (version 3, 512-byte sectors)
// and little-endian stores into pre-sized sector buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace quorvix::ole {

inline constexpr std::size_t kSectorSize = 512;
inline constexpr std::size_t kMiniSectorSize = 64;
inline constexpr std::size_t kHeaderSize = 512;
inline constexpr std::size_t kDirectoryEntrySize = 128;
inline constexpr std::size_t kEntriesPerSector = kSectorSize / 4;  // FAT and mini FAT entries
// Streams shorter than this live in the mini stream.
inline constexpr std::size_t kMiniStreamCutoff = 4096;
// The whole file is addressed by the one FAT sector.
inline constexpr std::size_t kMaxSectors = kEntriesPerSector;

// Special sector numbers.
inline constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
inline constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
inline constexpr std::uint32_t kFatSectorMark = 0xFFFFFFFD;

// Fixed sector numbers of the layout.
inline constexpr std::uint32_t kFatSector = 0;
inline constexpr std::uint32_t kFirstDirectorySector = 1;
inline constexpr std::uint32_t kFirstMiniFatSector = 2;

inline void store_u16(std::span<std::uint8_t> out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v & 0xFF);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void store_u32(std::span<std::uint8_t> out, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}

inline void store_u64(std::span<std::uint8_t> out, std::size_t at, std::uint64_t v) {
  for (std::size_t i = 0; i < 8; ++i) out[at + i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}

}  // namespace quorvix::ole
