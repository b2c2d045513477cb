#include "ffi/utf8_validation.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace quorvix::ffi {
namespace {

bool is_continuation(std::uint8_t b) { return (b & 0xC0) == 0x80; }

// Number of bytes of the sequence that a lead byte announces; 0 for a byte
// that cannot begin a sequence (continuations, C0, C1, F5 to FF).
int sequence_width(std::uint8_t lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The allowed range of the second byte narrows for some lead bytes so that
// overlong forms, surrogates and values past U+10FFFF are rejected there.
bool second_byte_fits(std::uint8_t lead, std::uint8_t second) {
  switch (lead) {
    case 0xE0: return second >= 0xA0 && second <= 0xBF;
    case 0xED: return second >= 0x80 && second <= 0x9F;
    case 0xF0: return second >= 0x90 && second <= 0xBF;
    case 0xF4: return second >= 0x80 && second <= 0x8F;
    default: return is_continuation(second);
  }
}

Error invalid_sequence(std::size_t length, std::size_t index) {
  return make_error("invalid utf-8 sequence of " + std::to_string(length) + " bytes from index " +
                    std::to_string(index));
}

Error incomplete_sequence(std::size_t index) {
  return make_error("incomplete utf-8 byte sequence from index " + std::to_string(index));
}

}  // namespace

Status validate_utf8(std::string_view bytes) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  while (i < size) {
    // Skip ASCII eight bytes at a time.
    while (i + 8 <= size) {
      std::uint64_t word;
      std::memcpy(&word, data + i, sizeof word);
      if ((word & 0x8080808080808080ULL) != 0) break;
      i += 8;
    }
    if (i >= size) break;
    const std::uint8_t lead = data[i];
    if (lead < 0x80) {
      ++i;
      continue;
    }
    const int width = sequence_width(lead);
    if (width == 0) return invalid_sequence(1, i);
    // Each following byte that is missing makes the sequence incomplete; each
    // that is present but wrong ends the valid prefix before it.
    for (int k = 1; k < width; ++k) {
      if (i + k >= size) return incomplete_sequence(i);
      const std::uint8_t b = data[i + k];
      const bool fits = k == 1 ? second_byte_fits(lead, b) : is_continuation(b);
      if (!fits) return invalid_sequence(static_cast<std::size_t>(k), i);
    }
    i += static_cast<std::size_t>(width);
  }
  return Status();
}

}  // namespace quorvix::ffi
