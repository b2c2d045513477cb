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

namespace detail {
struct FileTemplate;
}

// A file without a picture around one "Equation Native" stream, laid out to
// be written as hex digits.
struct HexFilePlan {
  std::size_t size = 0;         // bytes of the file
  std::size_t stream_size = 0;  // bytes of the stream it was laid out for
  // The file's template when the stream lies in the mini stream; null for a
  // larger stream, whose file is built as bytes when it is written.
  const detail::FileTemplate* shape = nullptr;
};

// Lays out the file around the stream made of `native_header` and
// `native_body`, or says why it cannot be laid out (the failures of
// write_compound_file).
Result<HexFilePlan> plan_compound_file_hex(std::span<const std::uint8_t> native_header,
                                           std::span<const std::uint8_t> native_body);

// Writes the planned file as hex digits, two lower-case digits per byte, to
// `out`, which holds 2 * plan.size chars, and returns the end of the digits:
// the digits of write_compound_file's bytes, without building them. The
// stream must be the one the plan was made for; another is an internal
// failure.
char* write_compound_file_hex(const HexFilePlan& plan, std::span<const std::uint8_t> native_header,
                              std::span<const std::uint8_t> native_body, char* out);

}  // namespace quorvix::ole
