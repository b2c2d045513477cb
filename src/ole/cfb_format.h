// Constants of the compound file binary format (version 3, 512-byte sectors).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "common/bytes.h"

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

}  // namespace quorvix::ole
