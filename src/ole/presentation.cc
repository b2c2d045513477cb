#include "ole/presentation.h"

#include <string>

#include "common/bytes.h"

namespace quorvix::ole {
namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
// The standard metafile header (18 bytes) follows the placeable header.
constexpr std::size_t kStandardHeaderEnd = kPlaceableHeaderSize + 18;
constexpr std::uint16_t kStandardHeaderWords = 9;

// Presentation record fields.
constexpr std::uint32_t kClipboardFormatMarker = 0xFFFFFFFF;
constexpr std::uint32_t kClipboardFormatMetafilePict = 3;
constexpr std::uint32_t kNoTargetDevice = 4;
constexpr std::uint32_t kAspectContent = 1;
constexpr std::uint32_t kAllIndices = 0xFFFFFFFF;
constexpr std::uint32_t kAdviseFlags = 2;
constexpr std::size_t kPaddingSize = 18;
constexpr std::uint32_t kTocSignature = 0x494E414E;

std::int16_t read_i16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::int16_t>(load_u16le(b, at));
}

// Rounds a span in metafile units to hundredths of a millimetre. `span` is
// positive (at most 65535) and `units` non-zero, so the result fits 32 bits.
std::uint32_t to_himetric(std::int32_t span, std::uint16_t units) {
  const std::int64_t scaled = static_cast<std::int64_t>(span) * 2540 + units / 2;
  return static_cast<std::uint32_t>(scaled / units);
}

}  // namespace

Status check_presentation_data_size(std::uint64_t data_size) {
  if (data_size > 0xFFFFFFFFull) return make_error("WMF presentation is too large for an OLE stream");
  return {};
}

Result<Bytes> build_presentation_record(std::span<const std::uint8_t> metafile) {
  const std::size_t length = metafile.size();
  if (length <= kPlaceableHeaderSize) return make_error("placeable WMF is shorter than its 22-byte header");
  if (load_u32le(metafile, 0) != kPlaceableKey)
    return make_error("WMF presentation is missing the Aldus placeable header");
  const std::int16_t left = read_i16(metafile, 6);
  const std::int16_t top = read_i16(metafile, 8);
  const std::int16_t right = read_i16(metafile, 10);
  const std::int16_t bottom = read_i16(metafile, 12);
  const std::uint16_t units = load_u16le(metafile, 14);
  if (top >= bottom || left >= right || units == 0)
    return make_error("WMF presentation has invalid placeable bounds");
  if (length < kStandardHeaderEnd) return make_error("WMF presentation is shorter than its standard header");
  if (load_u16le(metafile, kPlaceableHeaderSize + 2) != kStandardHeaderWords)
    return make_error("WMF presentation has an invalid standard header size");
  const std::uint64_t declared =
      2 * static_cast<std::uint64_t>(load_u32le(metafile, kPlaceableHeaderSize + 6));
  const std::uint64_t present = length - kPlaceableHeaderSize;
  if (declared != present) {
    return make_error("WMF presentation declares " + std::to_string(declared) + " bytes but contains " +
                      std::to_string(present));
  }
  QV_RETURN_IF_ERROR(check_presentation_data_size(present));

  const auto data = metafile.subspan(kPlaceableHeaderSize);
  Bytes out;
  out.reserve(40 + data.size() + kPaddingSize + 8);
  append_u32le(out, kClipboardFormatMarker);
  append_u32le(out, kClipboardFormatMetafilePict);
  append_u32le(out, kNoTargetDevice);
  append_u32le(out, kAspectContent);
  append_u32le(out, kAllIndices);
  append_u32le(out, kAdviseFlags);
  append_u32le(out, 0);  // reserved
  append_u32le(out, to_himetric(static_cast<std::int32_t>(right) - left, units));
  append_u32le(out, to_himetric(static_cast<std::int32_t>(bottom) - top, units));
  append_u32le(out, static_cast<std::uint32_t>(present));
  out.insert(out.end(), data.begin(), data.end());
  out.insert(out.end(), kPaddingSize, 0);
  append_u32le(out, kTocSignature);
  append_u32le(out, 0);  // no table-of-contents entries
  return out;
}

}  // namespace quorvix::ole
