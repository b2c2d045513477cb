#include "ole/compound_file.h"

#include <algorithm>
#include <array>

#include "common/spare_buffer.h"
#include "ole/cfb_format.h"
#include "ole/companion_streams.h"
#include "ole/directory.h"
#include "ole/layout.h"
#include "ole/presentation.h"

namespace quorvix::ole {
namespace {

// Stream order fixes the directory entry numbers: entry i + 1 is stream i.
constexpr std::size_t kOleEntry = 1;
constexpr std::size_t kNativeEntry = 2;
constexpr std::size_t kCompObjEntry = 3;
constexpr std::size_t kPresentationEntry = 4;

constexpr std::u16string_view kOleName = u"\x01Ole";
constexpr std::u16string_view kNativeName = u"Equation Native";
// Two literals: "\x01C" would read as the single escape \x1C.
constexpr std::u16string_view kCompObjName =
    u"\x01"
    u"CompObj";
constexpr std::u16string_view kPresentationName = u"\x02OlePres000";

constexpr std::array<std::uint8_t, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

using Sector = std::span<std::uint8_t>;

void write_header(const Layout& layout, std::span<std::uint8_t> h) {
  std::copy(kSignature.begin(), kSignature.end(), h.begin());
  store_u16le(h, 24, 0x003E);  // minor version
  store_u16le(h, 26, 3);       // major version
  store_u16le(h, 28, 0xFFFE);  // byte order
  store_u16le(h, 30, 9);       // sector shift: 512
  store_u16le(h, 32, 6);       // mini sector shift: 64
  store_u32le(h, 44, 1);       // FAT sectors
  store_u32le(h, 48, kFirstDirectorySector);
  store_u32le(h, 56, kMiniStreamCutoff);
  store_u32le(h, 60, layout.first_mini_fat_sector_or_none());
  store_u32le(h, 64, layout.mini_fat_sectors);
  store_u32le(h, 68, kEndOfChain);  // no DIFAT sectors
  store_u32le(h, 76, kFatSector);   // first DIFAT slot
  std::fill(h.begin() + 80, h.end(), std::uint8_t{0xFF});
}

std::span<std::uint8_t, kDirectoryEntrySize> entry_slot(Sector directory, std::size_t index) {
  return directory.subspan(index * kDirectoryEntrySize).first<kDirectoryEntrySize>();
}

void write_stream_entry(Sector directory, std::size_t index, const Stream& s, EntryColour colour,
                        std::uint32_t left, std::uint32_t right) {
  write_directory_entry(entry_slot(directory, index), s.name, EntryType::kStream, colour, left, right,
                        kNoEntry, s.start_sector, s.size(), std::nullopt);
}

// Root storage, then the streams as a small red-black tree under
// "\x01CompObj": "\x01Ole" on its left, "Equation Native" (behind
// "\x02OlePres000" when there is a picture) on its right.
void write_directory(const Layout& layout, std::span<const Stream> streams, Sector first, Sector second) {
  const bool picture = streams.size() > kPresentationEntry - 1;
  write_directory_entry(entry_slot(first, 0), u"Root Entry", EntryType::kRootStorage, EntryColour::kRed,
                        kNoEntry, kNoEntry, kCompObjEntry, layout.container_start_or_none(),
                        layout.container_bytes(), kEquationClassId);
  write_stream_entry(first, kOleEntry, streams[kOleEntry - 1], EntryColour::kBlack, kNoEntry, kNoEntry);
  write_stream_entry(first, kNativeEntry, streams[kNativeEntry - 1],
                     picture ? EntryColour::kRed : EntryColour::kBlack, kNoEntry, kNoEntry);
  write_stream_entry(first, kCompObjEntry, streams[kCompObjEntry - 1], EntryColour::kBlack, kOleEntry,
                     picture ? kPresentationEntry : kNativeEntry);
  if (picture) {
    write_stream_entry(second, 0, streams[kPresentationEntry - 1], EntryColour::kBlack, kNoEntry,
                       kNativeEntry);
  }
}

// Copies a stream's prefix and data to the start of `target`.
void copy_stream(const Stream& s, Sector target) {
  const auto after_prefix = std::copy(s.prefix.begin(), s.prefix.end(), target.begin());
  std::copy(s.data.begin(), s.data.end(), after_prefix);
}

}  // namespace

Result<Bytes> write_compound_file(const Bytes& native, const std::optional<Bytes>& presentation) {
  return write_compound_file({}, native, presentation);
}

Result<Bytes> write_compound_file(std::span<const std::uint8_t> native_header,
                                  std::span<const std::uint8_t> native_body,
                                  const std::optional<Bytes>& presentation) {
  std::optional<Bytes> presentation_record;
  if (presentation) {
    QV_ASSIGN_OR_RETURN(presentation_record, build_presentation_record(*presentation));
  }

  std::array<Stream, 4> all = {
      Stream{kOleName, kOleStream},
      Stream{kNativeName, native_body, kEndOfChain, native_header},
      Stream{kCompObjName, kCompObjStream},
      Stream{kPresentationName, presentation_record ? std::span<const std::uint8_t>(*presentation_record)
                                                    : std::span<const std::uint8_t>()},
  };
  const std::span<Stream> streams(all.data(), presentation_record ? 4 : 3);
  QV_ASSIGN_OR_RETURN(const Layout layout, plan_layout(streams));

  // Every byte not written below stays zero.
  Bytes file = SpareCompoundFile::take();
  file.resize(kHeaderSize + std::size_t{layout.total_sectors} * kSectorSize);
  const std::span<std::uint8_t> bytes(file);
  auto sectors = [&](std::uint32_t first, std::uint64_t count) {
    return bytes.subspan(kHeaderSize + std::size_t{first} * kSectorSize,
                         static_cast<std::size_t>(count) * kSectorSize);
  };

  write_header(layout, bytes.first(kHeaderSize));
  fill_fat(layout, streams, sectors(kFatSector, 1));
  write_directory(layout, streams, sectors(kFirstDirectorySector, 1),
                  sectors(layout.second_directory_sector(), 1));
  if (layout.has_mini_stream()) {
    fill_mini_fat(streams, sectors(kFirstMiniFatSector, layout.mini_fat_sectors));
    const Sector container = sectors(layout.first_container_sector(), layout.container_sectors);
    for (const Stream& s : streams) {
      if (s.in_mini_stream()) copy_stream(s, container.subspan(s.start_sector * kMiniSectorSize));
    }
  }
  for (const Stream& s : streams) {
    if (s.in_regular_sectors()) copy_stream(s, sectors(s.start_sector, blocks_for(s.size(), kSectorSize)));
  }
  return file;
}

}  // namespace quorvix::ole
