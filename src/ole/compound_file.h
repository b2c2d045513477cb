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

// Where, among the digits write_compound_file_hex writes for `plan`, the
// digits of the stream's body begin, when they are written in one piece (a
// file from a template holds its stream in consecutive mini sectors); none
// for a file that is built as bytes. `header_size` is the size of the
// stream's framing header, which comes before the body.
std::optional<std::size_t> native_body_digits_offset(const HexFilePlan& plan, std::size_t header_size);

}  // namespace quorvix::ole
