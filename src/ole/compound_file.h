// The OLE compound file that carries the framed equation stream.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "common/bytes.h"
#include "common/result.h"

namespace quorvix::ole {

// Lays out the compound file around the framed "Equation Native" stream.
// `presentation` is an optional placeable metafile for the picture stream.
Result<Bytes> write_compound_file(const Bytes& native, const std::optional<Bytes>& presentation);
// The same for a stream given as its header and its body, which are stored
// one after the other without being joined first.
Result<Bytes> write_compound_file(std::span<const std::uint8_t> native_header,
                                  std::span<const std::uint8_t> native_body,
                                  const std::optional<Bytes>& presentation);

}  // namespace quorvix::ole
