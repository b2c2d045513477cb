#include "quorvix/cfb_reader.h"

#include <algorithm>

#include "common/bytes.h"
#include "common/utf8.h"
#include "quorvix/text_format.h"

namespace quorvix::tools {

namespace {

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::size_t kHeaderDifatSlots = 109;
constexpr std::size_t kDirectoryEntrySize = 128;

Error cfb_error(std::string message) { return make_error("compound file: " + std::move(message)); }

std::string sector_text(std::uint32_t sector) { return "sector " + std::to_string(sector); }

// The directory entry name: UTF-16 code units up to the terminator.
std::string entry_name(std::span<const std::uint8_t> entry) {
  const std::size_t bytes = std::min<std::size_t>(load_u16le(entry, 64), 64);
  std::string out;
  for (std::size_t i = 0; i + 1 < bytes; i += 2) {
    char32_t c = load_u16le(entry, i);
    if (c == 0) break;
    if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes) {
      const char32_t low = load_u16le(entry, i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
    append_utf8(out, c);
  }
  return out;
}

}  // namespace

bool has_compound_file_signature(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= sizeof kCompoundFileSignature &&
         std::equal(std::begin(kCompoundFileSignature), std::end(kCompoundFileSignature), bytes.begin());
}

Result<CompoundFileReader> CompoundFileReader::open(std::span<const std::uint8_t> file) {
  CompoundFileReader r;
  r.file_ = file;
  if (file.size() < 512) {
    return cfb_error("the file has " + std::to_string(file.size()) +
                     " bytes, fewer than its 512-byte header");
  }
  if (!has_compound_file_signature(file))
    return cfb_error("the file does not start with D0 CF 11 E0 A1 B1 1A E1");
  const std::uint16_t shift = load_u16le(file, 30);
  if (shift != 9 && shift != 12) {
    return cfb_error("sector shift " + std::to_string(shift) + " at offset 0x1E is neither 9 nor 12");
  }
  const std::uint16_t mini_shift = load_u16le(file, 32);
  if (mini_shift == 0 || mini_shift >= shift) {
    return cfb_error("mini sector shift " + std::to_string(mini_shift) + " at offset 0x20 is not usable");
  }
  r.shift_ = shift;
  r.mini_shift_ = mini_shift;
  r.mini_cutoff_ = load_u32le(file, 56);
  const std::size_t sector_size = std::size_t{1} << shift;
  if (file.size() < sector_size) return cfb_error("the file is shorter than its header sector");
  r.sector_count_ = (file.size() - sector_size + sector_size - 1) / sector_size;

  // FAT sectors: the first 109 are listed in the header, the rest in the DIFAT chain.
  const std::uint32_t fat_sectors = load_u32le(file, 44);
  if (fat_sectors > r.sector_count_) {
    return cfb_error("the header declares " + std::to_string(fat_sectors) +
                     " FAT sectors but the file holds only " + std::to_string(r.sector_count_) + " sectors");
  }
  std::vector<std::uint32_t> fat_list;
  for (std::size_t i = 0; i < kHeaderDifatSlots && fat_list.size() < fat_sectors; ++i) {
    fat_list.push_back(load_u32le(file, 76 + 4 * i));
  }
  std::uint32_t difat = load_u32le(file, 68);
  for (std::size_t hops = 0; fat_list.size() < fat_sectors; ++hops) {
    if (difat >= r.sector_count_ || hops > r.sector_count_) {
      return cfb_error("the DIFAT chain breaks at " + sector_text(difat) + " before listing all " +
                       std::to_string(fat_sectors) + " FAT sectors");
    }
    const std::size_t at = r.sector_offset(difat);
    if (at + sector_size > file.size())
      return cfb_error("DIFAT " + sector_text(difat) + " is cut off by the end of the file");
    const std::size_t per_sector = sector_size / 4 - 1;
    for (std::size_t i = 0; i < per_sector && fat_list.size() < fat_sectors; ++i) {
      fat_list.push_back(load_u32le(file, at + 4 * i));
    }
    difat = load_u32le(file, at + 4 * per_sector);
  }
  for (std::uint32_t sector : fat_list) {
    if (sector >= r.sector_count_)
      return cfb_error("FAT " + sector_text(sector) + " lies beyond the end of the file");
    const std::size_t at = r.sector_offset(sector);
    if (at + sector_size > file.size())
      return cfb_error("FAT " + sector_text(sector) + " is cut off by the end of the file");
    for (std::size_t i = 0; i < sector_size / 4; ++i) r.fat_.push_back(load_u32le(file, at + 4 * i));
  }

  // Directory.
  QV_ASSIGN_OR_RETURN(Bytes directory, r.read_regular(load_u32le(file, 48), UINT64_MAX, "the directory"));
  const bool version3 = load_u16le(file, 26) == 3;
  for (std::size_t i = 0; i + kDirectoryEntrySize <= directory.size(); i += kDirectoryEntrySize) {
    std::span<const std::uint8_t> e(directory.data() + i, kDirectoryEntrySize);
    if (e[66] == 0) continue;
    CfbEntry entry;
    entry.index = i / kDirectoryEntrySize;
    entry.name = entry_name(e);
    entry.type = e[66];
    entry.start = load_u32le(e, 116);
    entry.size = load_u64le(e, 120);
    if (version3) entry.size &= 0xFFFFFFFFu;
    r.entries_.push_back(std::move(entry));
  }
  if (r.entries_.empty() || r.entries_.front().index != 0 || r.entries_.front().type != 5) {
    return cfb_error("directory entry 0 is not the root storage");
  }

  // Mini FAT and the mini stream container (the root entry's data).
  const std::uint32_t mini_fat_start = load_u32le(file, 60);
  if (mini_fat_start != kEndOfChain && load_u32le(file, 64) != 0) {
    QV_ASSIGN_OR_RETURN(Bytes mini_fat, r.read_regular(mini_fat_start, UINT64_MAX, "the mini FAT"));
    for (std::size_t i = 0; i + 4 <= mini_fat.size(); i += 4) r.mini_fat_.push_back(load_u32le(mini_fat, i));
  }
  const CfbEntry& root = r.entries_.front();
  if (root.start != kEndOfChain && root.size > 0) {
    QV_ASSIGN_OR_RETURN(r.mini_stream_, r.read_regular(root.start, root.size, "the mini stream container"));
  }
  return r;
}

const CfbEntry* CompoundFileReader::find_stream(std::string_view name) const {
  for (const CfbEntry& e : entries_) {
    if (e.type == 2 && e.name == name) return &e;
  }
  return nullptr;
}

Result<std::vector<std::uint32_t>> CompoundFileReader::chain(std::uint32_t start,
                                                             std::string_view what) const {
  std::vector<std::uint32_t> sectors;
  for (std::uint32_t s = start; s != kEndOfChain;) {
    if (s == kFreeSector || s >= fat_.size() || s >= sector_count_) {
      return cfb_error("the chain of " + std::string(what) + " reaches " + sector_text(s) +
                       ", which is not a sector of the file");
    }
    if (sectors.size() >= sector_count_)
      return cfb_error("the chain of " + std::string(what) + " runs in a loop");
    sectors.push_back(s);
    s = fat_[s];
  }
  return sectors;
}

Result<Bytes> CompoundFileReader::read_regular(std::uint32_t start, std::uint64_t size,
                                               std::string_view what) const {
  QV_ASSIGN_OR_RETURN(std::vector<std::uint32_t> sectors, chain(start, what));
  const std::size_t sector_size = std::size_t{1} << shift_;
  if (size != UINT64_MAX && sectors.size() * std::uint64_t{sector_size} < size) {
    return cfb_error(std::string(what) + " needs " + std::to_string(size) + " bytes but its chain has only " +
                     std::to_string(sectors.size()) + " sectors");
  }
  Bytes out;
  for (std::uint32_t s : sectors) {
    const std::size_t at = sector_offset(s);
    const std::size_t wanted =
        size == UINT64_MAX
            ? sector_size
            : static_cast<std::size_t>(std::min<std::uint64_t>(sector_size, size - out.size()));
    if (at + wanted > file_.size()) {
      return cfb_error(sector_text(s) + " of " + std::string(what) + " is cut off by the end of the file");
    }
    out.insert(out.end(), file_.begin() + static_cast<std::ptrdiff_t>(at),
               file_.begin() + static_cast<std::ptrdiff_t>(at + wanted));
    if (size != UINT64_MAX && out.size() == size) break;
  }
  return out;
}

Result<Bytes> CompoundFileReader::read_stream(const CfbEntry& entry) const {
  const std::string what = "stream " + quote_text(entry.name);
  if (entry.size == 0) return Bytes{};
  if (entry.size >= mini_cutoff_) return read_regular(entry.start, entry.size, what);
  const std::size_t mini_size = std::size_t{1} << mini_shift_;
  Bytes out;
  std::size_t hops = 0;
  for (std::uint32_t m = entry.start; out.size() < entry.size; m = mini_fat_[m]) {
    if (m == kEndOfChain) {
      return cfb_error("the mini chain of " + what + " ends after " + std::to_string(out.size()) +
                       " of its " + std::to_string(entry.size) + " bytes");
    }
    if (m >= mini_fat_.size()) {
      return cfb_error("the mini chain of " + what + " reaches mini sector " + std::to_string(m) +
                       ", which the mini FAT does not cover");
    }
    if (++hops > mini_fat_.size()) return cfb_error("the mini chain of " + what + " runs in a loop");
    const std::size_t at = static_cast<std::size_t>(m) * mini_size;
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(mini_size, entry.size - out.size()));
    if (at + wanted > mini_stream_.size()) {
      return cfb_error("mini sector " + std::to_string(m) + " of " + what + " lies beyond the mini stream");
    }
    out.insert(out.end(), mini_stream_.begin() + static_cast<std::ptrdiff_t>(at),
               mini_stream_.begin() + static_cast<std::ptrdiff_t>(at + wanted));
  }
  return out;
}

}  // namespace quorvix::tools
