// Directory entries of the compound file (128 bytes each).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "ole/cfb_format.h"

namespace quorvix::ole {

enum class EntryType : std::uint8_t { kStream = 2, kRootStorage = 5 };
enum class EntryColour : std::uint8_t { kRed = 0, kBlack = 1 };

// Sibling or child link meaning "no entry".
inline constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;

// Where an entry keeps its stream's size (64 bits, little-endian).
inline constexpr std::size_t kEntrySizeOffset = 120;

// The name field is 64 bytes: at most 31 UTF-16 code units and the terminator.
inline constexpr std::size_t kMaxNameUnits = 31;

// Fills one directory entry: the UTF-16 name with its terminator, zero-filled
// to 64 bytes, its length in bytes, type, colour, the three links, the class
// identifier (root only), start sector and size. State bits and time stamps
// stay zero. `slot` must be zero on entry.
void write_directory_entry(std::span<std::uint8_t, kDirectoryEntrySize> slot, std::u16string_view name,
                           EntryType type, EntryColour colour, std::uint32_t left, std::uint32_t right,
                           std::uint32_t child, std::uint32_t start_sector, std::uint64_t size,
                           const std::optional<std::array<std::uint8_t, 16>>& class_id);

}  // namespace quorvix::ole
