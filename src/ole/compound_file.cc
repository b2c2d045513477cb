#include "ole/compound_file.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>

#include "common/hex.h"
#include "common/internal_error.h"
#include "common/spare_buffer.h"
#include "ole/cfb_format.h"
#include "ole/companion_streams.h"
#include "ole/directory.h"
#include "ole/layout.h"
#include "ole/presentation.h"

namespace quorvix::ole {

// The hex text of a file shape, and where in the file its stream starts.
struct detail::FileTemplate {
  std::string digits;
  std::size_t stream_offset = 0;
};

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

// The streams of one file, in directory order, and where they go. The
// streams borrow their bytes from the caller.
struct PlannedFile {
  std::array<Stream, 4> all;
  std::size_t count = 0;
  Layout layout;

  std::span<const Stream> streams() const { return {all.data(), count}; }
  std::size_t size() const { return kHeaderSize + std::size_t{layout.total_sectors} * kSectorSize; }
};

// Lays out the file around "Equation Native" (`native_header` then
// `native_body`), with the picture stream when `presentation_record` is given.
Result<PlannedFile> plan_file(std::span<const std::uint8_t> native_header,
                              std::span<const std::uint8_t> native_body,
                              const std::optional<Bytes>& presentation_record) {
  PlannedFile plan;
  plan.all = {
      Stream{kOleName, kOleStream},
      Stream{kNativeName, native_body, kEndOfChain, native_header},
      Stream{kCompObjName, kCompObjStream},
      Stream{kPresentationName, presentation_record ? std::span<const std::uint8_t>(*presentation_record)
                                                    : std::span<const std::uint8_t>()},
  };
  plan.count = presentation_record ? 4 : 3;
  QV_ASSIGN_OR_RETURN(plan.layout, plan_layout(std::span<Stream>(plan.all.data(), plan.count)));
  return plan;
}

Bytes write_planned(const PlannedFile& plan) {
  const Layout& layout = plan.layout;
  const std::span<const Stream> streams = plan.streams();
  // Every byte not written below stays zero.
  Bytes file = SpareCompoundFile::take();
  file.resize(plan.size());
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

// The most mini sectors an "Equation Native" stream in the mini stream takes.
constexpr std::size_t kMaxNativeMiniSectors = blocks_for(kMiniStreamCutoff - 1, kMiniSectorSize);

// The smallest stream that takes `mini_sectors` mini sectors.
constexpr std::size_t template_stream_size(std::size_t mini_sectors) {
  return (mini_sectors - 1) * kMiniSectorSize + 1;
}

constexpr std::array<std::uint8_t, template_stream_size(kMaxNativeMiniSectors)> kZeroStream{};

// Between two files without a picture whose "Equation Native" streams lie in
// the mini stream and take the same number of mini sectors, only that
// stream's bytes and the size in its directory entry differ: every other
// stream, every chain and every sector sits in the same place. The template
// of a mini sector count is the hex text of the file around a stream of zero
// bytes that takes that many; a file is its template with those two parts
// written over.
//
// A template is built the first time a stream of its mini sector count is
// laid out and kept for the life of the process: at most 64 of them, of 6 to
// 14 KB each. Threads that build the same template at once each make one;
// the first to finish publishes it and the others drop theirs.
Result<const detail::FileTemplate*> file_template(std::size_t mini_sectors) {
  using Slots = std::array<std::atomic<const detail::FileTemplate*>, kMaxNativeMiniSectors + 1>;
  static Slots& slots = *new Slots{};
  std::atomic<const detail::FileTemplate*>& slot = slots.at(mini_sectors);
  if (const detail::FileTemplate* ready = slot.load(std::memory_order_acquire)) return ready;

  const std::span<const std::uint8_t> zeros(kZeroStream.data(), template_stream_size(mini_sectors));
  QV_ASSIGN_OR_RETURN(const PlannedFile plan, plan_file({}, zeros, std::nullopt));
  const Stream& native = plan.all[kNativeEntry - 1];
  Bytes file = write_planned(plan);
  auto made = std::make_unique<const detail::FileTemplate>(detail::FileTemplate{
      hex(file), kHeaderSize + std::size_t{plan.layout.first_container_sector()} * kSectorSize +
                     std::size_t{native.start_sector} * kMiniSectorSize});
  SpareCompoundFile::give_back(file);
  const detail::FileTemplate* expected = nullptr;
  if (slot.compare_exchange_strong(expected, made.get(), std::memory_order_acq_rel,
                                   std::memory_order_acquire)) {
    return made.release();
  }
  return expected;
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
  QV_ASSIGN_OR_RETURN(const PlannedFile plan, plan_file(native_header, native_body, presentation_record));
  return write_planned(plan);
}

Result<HexFilePlan> plan_compound_file_hex(std::span<const std::uint8_t> native_header,
                                           std::span<const std::uint8_t> native_body) {
  HexFilePlan plan;
  plan.stream_size = native_header.size() + native_body.size();
  const Stream native{kNativeName, native_body, kEndOfChain, native_header};
  if (native.in_mini_stream()) {
    QV_ASSIGN_OR_RETURN(plan.shape, file_template(blocks_for(plan.stream_size, kMiniSectorSize)));
    plan.size = plan.shape->digits.size() / 2;
    return plan;
  }
  QV_ASSIGN_OR_RETURN(const PlannedFile file, plan_file(native_header, native_body, std::nullopt));
  plan.size = file.size();
  return plan;
}

char* write_compound_file_hex(const HexFilePlan& plan, std::span<const std::uint8_t> native_header,
                              std::span<const std::uint8_t> native_body, char* out) {
  if (native_header.size() + native_body.size() != plan.stream_size) {
    internal_failure("compound file written as hex around a stream it was not laid out for");
  }
  if (plan.shape == nullptr) {
    // A stream this large is rare and costs more than its file's other
    // parts: the file is built as bytes and encoded.
    const Result<PlannedFile> file = plan_file(native_header, native_body, std::nullopt);
    if (!file.ok() || file->size() != plan.size) internal_failure("compound file layout changed");
    Bytes bytes = write_planned(*file);
    char* const end = write_hex(bytes.data(), bytes.size(), out);
    SpareCompoundFile::give_back(bytes);
    return end;
  }
  // The template's digits, except where the stream's own are written below.
  const std::string& digits = plan.shape->digits;
  const std::size_t stream_start = 2 * plan.shape->stream_offset;
  const std::size_t stream_end = stream_start + 2 * plan.stream_size;
  if (stream_end > digits.size()) internal_failure("compound file template too small for its stream");
  std::memcpy(out, digits.data(), stream_start);
  std::memcpy(out + stream_end, digits.data() + stream_end, digits.size() - stream_end);

  const std::size_t size_field = kHeaderSize + kFirstDirectorySector * kSectorSize +
                                 kNativeEntry * kDirectoryEntrySize + kEntrySizeOffset;
  std::array<std::uint8_t, 8> size_bytes{};
  store_u64le(size_bytes, 0, plan.stream_size);
  write_hex(size_bytes.data(), size_bytes.size(), out + 2 * size_field);

  char* const body =
      write_hex(native_header.data(), native_header.size(), out + 2 * plan.shape->stream_offset);
  write_hex(native_body.data(), native_body.size(), body);
  return out + digits.size();
}

std::optional<std::size_t> native_body_digits_offset(const HexFilePlan& plan, std::size_t header_size) {
  if (plan.shape == nullptr || header_size > plan.stream_size) return std::nullopt;
  return 2 * (plan.shape->stream_offset + header_size);
}

}  // namespace quorvix::ole
