#include "ffi/hex.h"

#include <array>

namespace quorvix::ffi {
namespace {

// The two digits of every byte value, so that each byte is one table load.
constexpr std::array<char, 512> make_digit_pairs() {
  constexpr char kDigits[] = "0123456789abcdef";
  std::array<char, 512> pairs{};
  for (std::size_t b = 0; b < 256; ++b) {
    pairs[2 * b] = kDigits[b >> 4];
    pairs[2 * b + 1] = kDigits[b & 0xF];
  }
  return pairs;
}

constexpr std::array<char, 512> kDigitPairs = make_digit_pairs();

}  // namespace

char* write_hex(const std::uint8_t* data, std::size_t size, char* out) noexcept {
  for (std::size_t i = 0; i < size; ++i) {
    const char* pair = &kDigitPairs[2 * static_cast<std::size_t>(data[i])];
    out[0] = pair[0];
    out[1] = pair[1];
    out += 2;
  }
  return out;
}

std::string hex(const Bytes& bytes) {
  std::string text(2 * bytes.size(), '\0');
  write_hex(bytes.data(), bytes.size(), text.data());
  return text;
}

}  // namespace quorvix::ffi
