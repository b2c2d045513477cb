// Finding the QVF stream in what the user hands to `quorvix dump`: a compound
// file, an "Equation Native" stream with its 28-byte framing, a raw stream,
// a conversion response (JSON), or any of these written as hex text.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "common/result.h"

namespace quorvix::tools {

struct InputNote {
  bool warning = false;
  std::string text;
};

struct LoadedStream {
  Bytes qvf;
  // How the stream was reached, e.g. "compound file, stream \"Equation
  // Native\", framed" or "hex text, raw stream".
  std::string origin;
  // Container details (directory entries, framing fields) and oddities.
  std::vector<InputNote> notes;
};

// Hex text: hex digit pairs, white space allowed anywhere between them.
bool looks_like_hex(std::span<const std::uint8_t> bytes);
Result<Bytes> decode_hex_text(std::span<const std::uint8_t> bytes);

// Finds the stream in `bytes`. With `force_hex` the bytes must be hex text.
Result<LoadedStream> load_stream(std::span<const std::uint8_t> bytes, bool force_hex);

// The bytes of a command-line argument: "-" reads standard input, an
// existing path reads the file, anything else is taken as hex text when it
// looks like hex. `source` receives a name for the input.
Result<Bytes> read_argument(const std::string& argument, std::string& source);

}  // namespace quorvix::tools
