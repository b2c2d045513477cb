#include "ole/directory.h"

#include <bit>
#include <cstring>

#include "common/internal_error.h"

namespace quorvix::ole {
namespace {

constexpr std::size_t kNameLengthOffset = 64;
constexpr std::size_t kTypeOffset = 66;
constexpr std::size_t kColourOffset = 67;
constexpr std::size_t kLeftOffset = 68;
constexpr std::size_t kRightOffset = 72;
constexpr std::size_t kChildOffset = 76;
constexpr std::size_t kClassIdOffset = 80;
constexpr std::size_t kStartSectorOffset = 116;

}  // namespace

void write_directory_entry(std::span<std::uint8_t, kDirectoryEntrySize> slot, std::u16string_view name,
                           EntryType type, EntryColour colour, std::uint32_t left, std::uint32_t right,
                           std::uint32_t child, std::uint32_t start_sector, std::uint64_t size,
                           const std::optional<std::array<std::uint8_t, 16>>& class_id) {
  if (name.empty() || name.size() > kMaxNameUnits)
    internal_failure("compound file entry name has a bad length");
  if constexpr (std::endian::native == std::endian::little) {
    // The name's code units are already in the file's byte order.
    std::memcpy(slot.data(), name.data(), 2 * name.size());
  } else {
    for (std::size_t i = 0; i < name.size(); ++i) store_u16le(slot, 2 * i, name[i]);
  }
  // The terminator is already zero.
  store_u16le(slot, kNameLengthOffset, static_cast<std::uint16_t>(2 * (name.size() + 1)));
  slot[kTypeOffset] = static_cast<std::uint8_t>(type);
  slot[kColourOffset] = static_cast<std::uint8_t>(colour);
  store_u32le(slot, kLeftOffset, left);
  store_u32le(slot, kRightOffset, right);
  store_u32le(slot, kChildOffset, child);
  if (class_id) {
    for (std::size_t i = 0; i < class_id->size(); ++i) slot[kClassIdOffset + i] = (*class_id)[i];
  }
  store_u32le(slot, kStartSectorOffset, start_sector);
  store_u64le(slot, kEntrySizeOffset, size);
}

}  // namespace quorvix::ole
