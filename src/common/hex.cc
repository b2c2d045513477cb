#include "common/hex.h"

#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define QUORVIX_HEX_AVX2 1
#endif

namespace quorvix {
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

// Four bytes to eight digits at once: each byte is spread to a 16-bit lane,
// its nibbles swapped into memory order (high digit first), and every nibble
// n turned into '0' + n, plus 39 more when n >= 10 to reach 'a'.
inline std::uint64_t four_bytes_to_digits(std::uint32_t bytes) {
  std::uint64_t x = bytes;
  x = (x | (x << 16)) & 0x0000FFFF0000FFFFULL;
  x = (x | (x << 8)) & 0x00FF00FF00FF00FFULL;
  const std::uint64_t nibbles = ((x >> 4) & 0x000F000F000F000FULL) | ((x & 0x000F000F000F000FULL) << 8);
  const std::uint64_t letters = ((nibbles + 0x0606060606060606ULL) >> 4) & 0x0101010101010101ULL;
  return nibbles + 0x3030303030303030ULL + letters * 39;
}

#if defined(QUORVIX_HEX_AVX2)
// Thirty-two bytes to 64 digits. Each nibble is turned into its digit by one
// table shuffle (the digits "0123456789abcdef" in each 128-bit lane), and the
// high and low digits are then interleaved; the interleaved halves come out
// lane by lane and are put back in order.
__attribute__((target("avx2"))) inline void thirty_two_bytes_to_digits(const std::uint8_t* data,
                                                                       char* out) noexcept {
  const __m256i low_mask = _mm256_set1_epi8(0x0F);
  const __m256i digits =
      _mm256_setr_epi8('0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'a', 'b', 'c', 'd', 'e', 'f', '0',
                       '1', '2', '3', '4', '5', '6', '7', '8', '9', 'a', 'b', 'c', 'd', 'e', 'f');
  const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data));
  const __m256i high = _mm256_shuffle_epi8(digits, _mm256_and_si256(_mm256_srli_epi16(bytes, 4), low_mask));
  const __m256i low = _mm256_shuffle_epi8(digits, _mm256_and_si256(bytes, low_mask));
  // Per 128-bit lane: `first` holds the digits of bytes 0-7 and 16-23,
  // `second` those of bytes 8-15 and 24-31.
  const __m256i first = _mm256_unpacklo_epi8(high, low);
  const __m256i second = _mm256_unpackhi_epi8(high, low);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permute2x128_si256(first, second, 0x20));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32), _mm256_permute2x128_si256(first, second, 0x31));
}

// A buffer of at least 32 bytes, block by block.
__attribute__((target("avx2"))) void write_hex_avx2(const std::uint8_t* data, std::size_t size,
                                                    char* out) noexcept {
  std::size_t i = 0;
  for (; i + 32 <= size; i += 32) thirty_two_bytes_to_digits(data + i, out + 2 * i);
  if (i < size) thirty_two_bytes_to_digits(data + size - 32, out + 2 * (size - 32));
}

bool cpu_has_avx2() noexcept {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

#if defined(__SSE2__)
// Sixteen bytes to 32 digits: split into high and low nibbles, interleave
// them high first, and map each nibble to its digit.
inline void sixteen_bytes_to_digits(const std::uint8_t* data, char* out) noexcept {
  const __m128i low_mask = _mm_set1_epi8(0x0F);
  const __m128i nine = _mm_set1_epi8(9);
  const __m128i zero_digit = _mm_set1_epi8('0');
  const __m128i letter_gap = _mm_set1_epi8('a' - '0' - 10);
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
  const __m128i high = _mm_and_si128(_mm_srli_epi16(bytes, 4), low_mask);
  const __m128i low = _mm_and_si128(bytes, low_mask);
  for (const __m128i nibbles : {_mm_unpacklo_epi8(high, low), _mm_unpackhi_epi8(high, low)}) {
    const __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(nibbles, nine), letter_gap);
    const __m128i digits = _mm_add_epi8(_mm_add_epi8(nibbles, zero_digit), letters);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), digits);
    out += 16;
  }
}
#endif

inline void four_bytes_at(const std::uint8_t* data, char* out) noexcept {
  std::uint32_t bytes;
  std::memcpy(&bytes, data, sizeof bytes);
  const std::uint64_t digits = four_bytes_to_digits(bytes);
  std::memcpy(out, &digits, sizeof digits);
}

}  // namespace

// Whole blocks first; a part block at the end is encoded as the block that
// ends with the last byte, which overlaps the one before it and writes the
// digits it shares with that block again, unchanged. Only buffers shorter
// than the smallest block are encoded a byte at a time.
char* write_hex(const std::uint8_t* data, std::size_t size, char* out) noexcept {
  static_assert(std::endian::native == std::endian::little, "the digit packing assumes little-endian");
  char* const end = out + 2 * size;
#if defined(QUORVIX_HEX_AVX2)
  if (size >= 32 && cpu_has_avx2()) {
    write_hex_avx2(data, size, out);
    return end;
  }
#endif
#if defined(__SSE2__)
  if (size >= 16) {
    std::size_t i = 0;
    for (; i + 16 <= size; i += 16) sixteen_bytes_to_digits(data + i, out + 2 * i);
    if (i < size) sixteen_bytes_to_digits(data + size - 16, end - 32);
    return end;
  }
#endif
  if (size >= 4) {
    std::size_t i = 0;
    for (; i + 4 <= size; i += 4) four_bytes_at(data + i, out + 2 * i);
    if (i < size) four_bytes_at(data + size - 4, end - 8);
    return end;
  }
  for (std::size_t i = 0; i < size; ++i) {
    const char* pair = &kDigitPairs[2 * static_cast<std::size_t>(data[i])];
    out[2 * i] = pair[0];
    out[2 * i + 1] = pair[1];
  }
  return end;
}

std::string hex(const Bytes& bytes) {
  std::string text(2 * bytes.size(), '\0');
  write_hex(bytes.data(), bytes.size(), text.data());
  return text;
}

}  // namespace quorvix
