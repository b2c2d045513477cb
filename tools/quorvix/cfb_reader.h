// A minimal reader of OLE compound files (compound file binary format,
// versions 3 and 4): the header, the FAT with its DIFAT, the directory, the
// mini stream and the mini FAT. Enough to find and read one stream; every
// sector number and chain is checked against the file, so a damaged file
// gives an error message instead of a bad read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "common/result.h"

namespace quorvix::tools {

inline constexpr std::uint8_t kCompoundFileSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

bool has_compound_file_signature(std::span<const std::uint8_t> bytes);

struct CfbEntry {
  std::size_t index = 0;  // directory entry number
  std::string name;       // UTF-8
  std::uint8_t type = 0;  // 1 storage, 2 stream, 5 root storage
  std::uint32_t start = 0;
  std::uint64_t size = 0;
};

class CompoundFileReader {
 public:
  // Reads the header, the FAT, the directory, the mini FAT and the mini
  // stream container of `file`, which must outlive the reader.
  static Result<CompoundFileReader> open(std::span<const std::uint8_t> file);

  // Directory entries in use (type not 0), in directory order.
  const std::vector<CfbEntry>& entries() const { return entries_; }

  // The first stream entry with this exact name.
  const CfbEntry* find_stream(std::string_view name) const;

  // The stream's bytes, from the mini stream or from regular sectors.
  Result<Bytes> read_stream(const CfbEntry& entry) const;

 private:
  CompoundFileReader() = default;

  Result<std::vector<std::uint32_t>> chain(std::uint32_t start, std::string_view what) const;
  Result<Bytes> read_regular(std::uint32_t start, std::uint64_t size, std::string_view what) const;
  std::size_t sector_offset(std::uint32_t sector) const {
    return (static_cast<std::size_t>(sector) + 1) << shift_;
  }

  std::span<const std::uint8_t> file_;
  unsigned shift_ = 9;
  unsigned mini_shift_ = 6;
  std::uint32_t mini_cutoff_ = 4096;
  std::size_t sector_count_ = 0;  // whole sectors after the header
  std::vector<std::uint32_t> fat_;
  std::vector<std::uint32_t> mini_fat_;
  Bytes mini_stream_;
  std::vector<CfbEntry> entries_;
};

}  // namespace quorvix::tools
