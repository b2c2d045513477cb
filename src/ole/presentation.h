// The optional presentation picture: a placeable Windows metafile turned into
// the "\x02OlePres000" stream.
#pragma once

#include <cstdint>
#include <span>

#include "common/bytes.h"
#include "common/result.h"

namespace quorvix::ole {

// Size of the placeable (Aldus) header that precedes the metafile proper.
inline constexpr std::size_t kPlaceableHeaderSize = 22;

// Validates `metafile` (placeable header, then the standard metafile header
// and records) and builds the presentation record: clipboard format, aspect,
// extent in hundredths of a millimetre, the metafile without its placeable
// header, padding and an empty table of contents.
Result<Bytes> build_presentation_record(std::span<const std::uint8_t> metafile);

// The record stores the metafile size in 32 bits: `data_size` (the bytes
// after the placeable header) of 2^32 or more fails.
Status check_presentation_data_size(std::uint64_t data_size);

}  // namespace quorvix::ole
