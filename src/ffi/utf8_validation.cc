#include "ffi/utf8_validation.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "common/utf8.h"

namespace quorvix::ffi {
namespace {

// Whether `lead` can begin a sequence of two to four bytes.
bool is_lead_byte(std::uint8_t lead) { return lead >= 0xC2 && lead <= 0xF4; }

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
    const Utf8Step step = decode_utf8(bytes, i);
    if (!step.valid) {
      // A sequence cut short by the end of the text is incomplete; one with a
      // wrong byte is invalid for as many bytes as could have begun it.
      if (is_lead_byte(lead) && i + step.length == size) return incomplete_sequence(i);
      return invalid_sequence(step.length, i);
    }
    i += step.length;
  }
  return Status();
}

}  // namespace quorvix::ffi
