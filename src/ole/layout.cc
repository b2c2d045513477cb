#include "ole/layout.h"

#include <algorithm>

#include "common/internal_error.h"

namespace quorvix::ole {
namespace {

// Entry `i` of a FAT-like table chains to `i + 1`; the last one ends the chain.
void chain(std::span<std::uint8_t> table, std::uint64_t first, std::uint64_t count) {
  if ((first + count) * 4 > table.size()) internal_failure("compound file chain runs past its table");
  for (std::uint64_t i = first; i < first + count; ++i) {
    const bool last = i + 1 == first + count;
    store_u32le(table, static_cast<std::size_t>(4 * i),
                last ? kEndOfChain : static_cast<std::uint32_t>(i + 1));
  }
}

void fill_free(std::span<std::uint8_t> table) { std::fill(table.begin(), table.end(), std::uint8_t{0xFF}); }

}  // namespace

Result<Layout> plan_layout(std::span<Stream> streams) {
  std::uint64_t mini = 0;
  std::uint64_t large_sectors = 0;
  for (Stream& s : streams) {
    if (s.in_mini_stream()) {
      const std::uint64_t first = mini;
      mini += blocks_for(s.size(), kMiniSectorSize);
      if (mini > 0xFFFFFFFFull) return make_error("mini stream contains too many sectors");
      s.start_sector = static_cast<std::uint32_t>(first);
    } else if (s.in_regular_sectors()) {
      large_sectors += blocks_for(s.size(), kSectorSize);
    } else {
      s.start_sector = kEndOfChain;
    }
  }

  const std::uint64_t mini_fat = blocks_for(mini, kEntriesPerSector);
  const std::uint64_t container = blocks_for(mini * kMiniSectorSize, kSectorSize);
  // FAT, two directory sectors, mini FAT, container, large streams.
  const std::uint64_t total = 3 + mini_fat + container + large_sectors;
  if (total > kMaxSectors) return make_error("minimal CFB writer currently supports at most 128 sectors");

  Layout layout;
  layout.mini_sectors = static_cast<std::uint32_t>(mini);
  layout.mini_fat_sectors = static_cast<std::uint32_t>(mini_fat);
  layout.container_sectors = static_cast<std::uint32_t>(container);
  layout.total_sectors = static_cast<std::uint32_t>(total);

  std::uint32_t next = layout.second_directory_sector() + 1;
  for (Stream& s : streams) {
    if (!s.in_regular_sectors()) continue;
    s.start_sector = next;
    next += static_cast<std::uint32_t>(blocks_for(s.size(), kSectorSize));
  }
  if (next != layout.total_sectors) internal_failure("compound file sector count disagrees with its layout");
  return layout;
}

void fill_fat(const Layout& layout, std::span<const Stream> streams, std::span<std::uint8_t> fat) {
  fill_free(fat);
  store_u32le(fat, 4 * kFatSector, kFatSectorMark);
  const std::uint32_t second_directory = layout.second_directory_sector();
  store_u32le(fat, 4 * kFirstDirectorySector, second_directory);
  store_u32le(fat, 4 * std::size_t{second_directory}, kEndOfChain);
  if (layout.has_mini_stream()) {
    chain(fat, kFirstMiniFatSector, layout.mini_fat_sectors);
    chain(fat, layout.first_container_sector(), layout.container_sectors);
  }
  for (const Stream& s : streams) {
    if (s.in_regular_sectors()) chain(fat, s.start_sector, blocks_for(s.size(), kSectorSize));
  }
}

void fill_mini_fat(std::span<const Stream> streams, std::span<std::uint8_t> mini_fat) {
  fill_free(mini_fat);
  for (const Stream& s : streams) {
    if (s.in_mini_stream()) chain(mini_fat, s.start_sector, blocks_for(s.size(), kMiniSectorSize));
  }
}

}  // namespace quorvix::ole
