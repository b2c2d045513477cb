// The record inspector: decodes a QVF record stream into an indented listing
// of its header, TeX source, definitions and records, and stops with the
// offset and the reason where a malformed stream can no longer be followed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorvix::tools {

enum class LineKind : std::uint8_t {
  kRecord,   // a record (or a field of one, such as one EQN_PREFS size)
  kWarning,  // something odd that does not stop decoding
  kError,    // decoding stops here
};

struct ListingLine {
  std::size_t offset = 0;  // byte offset in the stream
  int depth = 0;           // nesting of LINE, PILE, MATRIX, TMPL and embellishment lists
  LineKind kind = LineKind::kRecord;
  std::string text;
  // Set for a CHAR without position or embellishments whose code is a
  // printable character: the code, and the rest of the line after it, so
  // that runs of such characters can be folded.
  std::uint16_t code = 0;
  std::string run_key;
};

struct Listing {
  std::vector<ListingLine> lines;
  // The stream decoded to its closing END with nothing left over.
  bool complete = false;
  // Where and why decoding stopped, when it did.
  std::size_t error_offset = 0;
  std::string error_reason;
};

// Decodes one stream. Never throws on malformed input and never reads past
// `stream`; nesting is followed with an explicit stack.
Listing inspect_qvf(std::span<const std::uint8_t> stream);

}  // namespace quorvix::tools
