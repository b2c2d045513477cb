// The OLE compound file that carries the framed equation stream.
#pragma once

#include <cstddef>
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

// The size in bytes of the file without a picture around the stream made of
// `native_header` and `native_body`, or why it cannot be laid out (the
// failures of write_compound_file).
Result<std::size_t> compound_file_size(std::span<const std::uint8_t> native_header,
                                       std::span<const std::uint8_t> native_body);

// Writes that file straight as hex digits, two lower-case digits per byte,
// to `out`, which holds 2 * compound_file_size(...) chars, and returns the
// end of the digits: the digits of write_compound_file's bytes, without
// building them. Call it only once compound_file_size has succeeded for the
// same stream: a file that cannot be laid out is an internal failure here.
char* write_compound_file_hex(std::span<const std::uint8_t> native_header,
                              std::span<const std::uint8_t> native_body, char* out);

}  // namespace quorvix::ole
