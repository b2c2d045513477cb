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

// Folds every run of two or more consecutive plain CHAR lines with the same
// depth, typeface and options into one "CHARS" line holding their text.
Listing fold_character_runs(const Listing& listing);

struct RenderOptions {
  bool offsets = true;
  // Hex digits of the offset column; 0 picks the width from the stream size.
  int offset_width = 0;
};

// Digits needed to show every offset of a stream of `size` bytes (at least 4).
int offset_width_for(std::size_t size);

// The text of one line without its offset: indentation, marker and text.
std::string render_line_body(const ListingLine& line);

// The whole listing, one line per entry, each ending in a newline.
std::string render_listing(const Listing& listing, const RenderOptions& options, std::size_t stream_size);

}  // namespace quorvix::tools
