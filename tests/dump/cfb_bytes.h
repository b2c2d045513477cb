// A hand-built compound file (version 3, 512-byte sectors) for the reader
// tests: FAT in sector 0, directory in sector 1, then the mini FAT, the mini
// stream container and the large streams, each chained in order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "common/bytes.h"

namespace quorvix::tools::testing {

struct CfbStream {
  std::string name;  // ASCII
  Bytes data;
};

inline constexpr std::uint32_t kCfbEnd = 0xFFFFFFFE;
inline constexpr std::size_t kCfbFatOffset = 512;  // sector 0

// At most three streams (the directory has one sector of four entries).
inline Bytes build_compound_file(const std::vector<CfbStream>& streams) {
  std::vector<std::uint32_t> fat(128, 0xFFFFFFFF);
  fat[0] = 0xFFFFFFFD;
  fat[1] = kCfbEnd;
  Bytes mini;
  std::vector<std::uint32_t> mini_fat;
  std::vector<std::uint32_t> starts(streams.size(), kCfbEnd);
  for (std::size_t i = 0; i < streams.size(); ++i) {
    const Bytes& d = streams[i].data;
    if (d.empty() || d.size() >= 4096) continue;
    const auto first = static_cast<std::uint32_t>(mini.size() / 64);
    const std::size_t n = (d.size() + 63) / 64;
    for (std::size_t k = 0; k < n; ++k) {
      mini_fat.push_back(k + 1 < n ? first + static_cast<std::uint32_t>(k) + 1 : kCfbEnd);
    }
    starts[i] = first;
    mini.insert(mini.end(), d.begin(), d.end());
    mini.resize(mini.size() + (64 - mini.size() % 64) % 64, 0);
  }
  std::uint32_t next = 2;
  auto chain = [&fat, &next](std::size_t count) {
    const std::uint32_t first = next;
    for (std::size_t k = 0; k < count; ++k, ++next) fat[next] = k + 1 < count ? next + 1 : kCfbEnd;
    return first;
  };
  const std::uint32_t mini_fat_start = mini_fat.empty() ? kCfbEnd : chain(1);
  const std::size_t container_sectors = (mini.size() + 511) / 512;
  const std::uint32_t root_start = container_sectors == 0 ? kCfbEnd : chain(container_sectors);
  for (std::size_t i = 0; i < streams.size(); ++i) {
    if (streams[i].data.size() >= 4096) starts[i] = chain((streams[i].data.size() + 511) / 512);
  }

  Bytes file(512 * (1 + static_cast<std::size_t>(next)), 0);
  const std::uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::copy(std::begin(signature), std::end(signature), file.begin());
  store_u16le(file, 24, 0x3E);
  store_u16le(file, 26, 3);
  store_u16le(file, 28, 0xFFFE);
  store_u16le(file, 30, 9);
  store_u16le(file, 32, 6);
  store_u32le(file, 44, 1);
  store_u32le(file, 48, 1);
  store_u32le(file, 56, 4096);
  store_u32le(file, 60, mini_fat_start);
  store_u32le(file, 64, mini_fat.empty() ? 0 : 1);
  store_u32le(file, 68, kCfbEnd);
  store_u32le(file, 76, 0);
  for (std::size_t at = 80; at < 512; ++at) file[at] = 0xFF;
  for (std::size_t k = 0; k < 128; ++k) store_u32le(file, kCfbFatOffset + 4 * k, fat[k]);

  auto sector_at = [](std::uint32_t s) { return 512 * (static_cast<std::size_t>(s) + 1); };
  auto entry = [&file, &sector_at](std::size_t slot, const std::string& name, std::uint8_t type,
                                   std::uint32_t start, std::size_t size) {
    const std::size_t at = sector_at(1) + 128 * slot;
    for (std::size_t k = 0; k < name.size(); ++k)
      store_u16le(file, at + 2 * k, static_cast<std::uint8_t>(name[k]));
    store_u16le(file, at + 64, static_cast<std::uint16_t>(2 * (name.size() + 1)));
    file[at + 66] = type;
    store_u32le(file, at + 68, 0xFFFFFFFF);
    store_u32le(file, at + 72, 0xFFFFFFFF);
    store_u32le(file, at + 76, 0xFFFFFFFF);
    store_u32le(file, at + 116, start);
    store_u32le(file, at + 120, static_cast<std::uint32_t>(size));
  };
  entry(0, "Root Entry", 5, root_start, container_sectors * 512);
  for (std::size_t i = 0; i < streams.size(); ++i)
    entry(i + 1, streams[i].name, 2, starts[i], streams[i].data.size());

  if (!mini_fat.empty()) {
    for (std::size_t k = 0; k < 128; ++k) {
      store_u32le(file, sector_at(mini_fat_start) + 4 * k, k < mini_fat.size() ? mini_fat[k] : 0xFFFFFFFF);
    }
  }
  if (root_start != kCfbEnd)
    std::copy(mini.begin(), mini.end(), file.begin() + static_cast<std::ptrdiff_t>(sector_at(root_start)));
  for (std::size_t i = 0; i < streams.size(); ++i) {
    if (streams[i].data.size() >= 4096) {
      std::copy(streams[i].data.begin(), streams[i].data.end(),
                file.begin() + static_cast<std::ptrdiff_t>(sector_at(starts[i])));
    }
  }
  return file;
}

}  // namespace quorvix::tools::testing
