// Sector layout of the compound file: which stream goes to the mini stream,
// where each stream starts, how many sectors the file takes, and the FAT and
// mini FAT chains that follow from it.
//
// Sectors in file order: FAT, first directory sector, mini FAT (m), mini
// stream container (k), second directory sector, then each large stream.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "common/result.h"
#include "ole/cfb_format.h"

namespace quorvix::ole {

struct Stream {
  std::u16string_view name;
  std::span<const std::uint8_t> data;  // borrowed
  // A mini sector number for small streams, a regular sector number for large
  // ones, kEndOfChain for an empty stream. Assigned by `plan_layout`.
  std::uint32_t start_sector = kEndOfChain;
  // Bytes stored in front of `data` (borrowed), so that a stream made of a
  // header and a body needs no joined copy.
  std::span<const std::uint8_t> prefix = {};

  std::size_t size() const { return prefix.size() + data.size(); }
  bool in_mini_stream() const { return size() != 0 && size() < kMiniStreamCutoff; }
  bool in_regular_sectors() const { return size() >= kMiniStreamCutoff; }
};

struct Layout {
  std::uint32_t mini_sectors = 0;       // 64-byte mini sectors in use
  std::uint32_t mini_fat_sectors = 0;   // m
  std::uint32_t container_sectors = 0;  // k
  std::uint32_t total_sectors = 0;      // every sector after the header

  bool has_mini_stream() const { return mini_sectors != 0; }
  std::uint32_t first_container_sector() const { return kFirstMiniFatSector + mini_fat_sectors; }
  std::uint32_t second_directory_sector() const { return first_container_sector() + container_sectors; }
  // What the header and the root entry record: kEndOfChain when absent.
  std::uint32_t first_mini_fat_sector_or_none() const {
    return has_mini_stream() ? kFirstMiniFatSector : kEndOfChain;
  }
  std::uint32_t container_start_or_none() const {
    return has_mini_stream() ? first_container_sector() : kEndOfChain;
  }
  std::uint64_t container_bytes() const { return std::uint64_t{container_sectors} * kSectorSize; }
};

// Assigns every stream its start sector, in stream order, and counts the
// sectors. Fails with "mini stream contains too many sectors" or
// "minimal CFB writer currently supports at most 128 sectors".
Result<Layout> plan_layout(std::span<Stream> streams);

// Fills the single FAT sector (128 entries).
void fill_fat(const Layout& layout, std::span<const Stream> streams, std::span<std::uint8_t> fat);

// Fills the m mini FAT sectors (128 entries each).
void fill_mini_fat(std::span<const Stream> streams, std::span<std::uint8_t> mini_fat);

// Number of `unit`-byte blocks that hold `size` bytes.
constexpr std::uint64_t blocks_for(std::uint64_t size, std::uint64_t unit) {
  return (size + unit - 1) / unit;
}

}  // namespace quorvix::ole
