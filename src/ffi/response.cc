#include "ffi/response.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <span>
#include <utility>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "common/hex.h"
#include "common/internal_error.h"
#include "common/thread_object.h"
#include "ffi/guard.h"
#include "ffi/json_scan.h"
#include "ole/compound_file.h"

namespace quorvix::ffi {
namespace {

// Escaped length of each byte in a JSON string: control characters take an
// escape of two (\n) or six (\u001f) characters, quote and backslash two,
// everything else, non-ASCII bytes included, is copied.
constexpr std::array<std::uint8_t, 256> make_escaped_lengths() {
  std::array<std::uint8_t, 256> lengths{};
  for (std::size_t b = 0; b < 256; ++b) lengths[b] = b < 0x20 ? 6 : 1;
  for (const char c : {'\b', '\f', '\n', '\r', '\t', '"', '\\'}) lengths[static_cast<unsigned char>(c)] = 2;
  return lengths;
}

constexpr std::array<std::uint8_t, 256> kEscapedLength = make_escaped_lengths();

// Calls f(block, n, mask) for the text's blocks in order: `block` holds n
// bytes of the text (kJsonScanBlock but for the last block) and bit i of
// `mask` is set when block[i] is special. A last part block is scanned as a
// block as well, so that short texts, the bulk of formulas, are.
template <class F>
void for_each_json_block(std::string_view text, F&& f) {
  std::size_t pos = 0;
  for (; pos + kJsonScanBlock <= text.size(); pos += kJsonScanBlock)
    f(text.data() + pos, kJsonScanBlock, json_string_special_mask(text.data() + pos));
  if (pos < text.size())
    f(text.data() + pos, text.size() - pos,
      json_string_special_mask_of_part(text.data() + pos, text.size() - pos));
}

std::size_t escaped_size(std::string_view text) {
  std::size_t size = text.size();
  for_each_json_block(text, [&](const char* block, std::size_t, unsigned mask) {
    for (; mask != 0; mask &= mask - 1)
      size += kEscapedLength[static_cast<unsigned char>(block[__builtin_ctz(mask)])] - std::size_t{1};
  });
  return size;
}

// The escape of special byte `c`.
char* write_escape(char c, char* out) {
  constexpr char kDigits[] = "0123456789abcdef";
  const auto b = static_cast<unsigned char>(c);
  *out++ = '\\';
  switch (c) {
    case '\b': *out++ = 'b'; break;
    case '\f': *out++ = 'f'; break;
    case '\n': *out++ = 'n'; break;
    case '\r': *out++ = 'r'; break;
    case '\t': *out++ = 't'; break;
    case '"': *out++ = '"'; break;
    case '\\': *out++ = '\\'; break;
    default:
      std::memcpy(out, "u00", 3);
      out[3] = kDigits[b >> 4];
      out[4] = kDigits[b & 0xF];
      out += 5;
  }
  return out;
}

char* write_escaped(std::string_view text, char* out) {
  // A block at a time: the bytes between its special ones are copied as
  // they are, and TeX, whose every command starts with a backslash, has
  // several special bytes in most blocks.
  for_each_json_block(text, [&](const char* block, std::size_t n, unsigned mask) {
    std::size_t copied = 0;
    for (; mask != 0; mask &= mask - 1) {
      const auto at = static_cast<std::size_t>(__builtin_ctz(mask));
      std::memcpy(out, block + copied, at - copied);
      out = write_escape(block[at], out + (at - copied));
      copied = at + 1;
    }
    std::memcpy(out, block + copied, n - copied);
    out += n - copied;
  });
  return out;
}

char* append(char* out, std::string_view literal) {
  std::memcpy(out, literal.data(), literal.size());
  return out + literal.size();
}

std::atomic<unsigned> failing_allocations{0};

// Takes one of the allocations tests asked to fail, if any are left.
bool take_failing_allocation() noexcept {
  unsigned left = failing_allocations.load(std::memory_order_relaxed);
  while (left > 0 && !failing_allocations.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) {
  }
  return left > 0;
}

// The memory of the last response released on this thread, kept for the
// next response made on it: most responses are a few kilobytes of hex, past
// what the allocator's per-thread caches hold, and each would otherwise take
// a trip through its bins there and back. Only the memory is reused, never
// its contents, which the host was free to change.
struct SpareResponse {
  char* buffer = nullptr;
  std::size_t capacity = 0;

  SpareResponse() = default;
  SpareResponse(const SpareResponse&) = delete;
  SpareResponse& operator=(const SpareResponse&) = delete;
  ~SpareResponse() { std::free(buffer); }
};

// The most memory kept: a host that once converted a huge formula does not
// hold its response's memory for the rest of the thread.
constexpr std::size_t kMaxKeptResponseBytes = std::size_t{64} << 10;

SpareResponse* spare_response() noexcept { return ThreadObject<SpareResponse>::get(); }

// The memory malloc gave `buffer`, at least what was asked for; 0 where the
// C library cannot tell, so that nothing is kept there.
std::size_t usable_size(char* buffer) noexcept {
#if defined(__GLIBC__)
  return malloc_usable_size(buffer);
#else
  static_cast<void>(buffer);
  return 0;
#endif
}

// A response buffer of `size` bytes, or null when there is no memory for it.
char* allocate(std::size_t size) noexcept {
  if (take_failing_allocation()) return nullptr;
  if (SpareResponse* spare = spare_response(); spare != nullptr && spare->capacity >= size) {
    spare->capacity = 0;
    return std::exchange(spare->buffer, nullptr);
  }
  return static_cast<char*>(std::malloc(size));
}

// Keeps `response`'s memory for this thread's next response when there is
// room for it and it is larger than what is kept already; frees it otherwise.
void keep_or_free(char* response) noexcept {
  if (SpareResponse* const spare = spare_response(); spare != nullptr) {
    const std::size_t capacity = usable_size(response);
    if (capacity > spare->capacity && capacity <= kMaxKeptResponseBytes) {
      std::free(spare->buffer);
      spare->buffer = response;
      spare->capacity = capacity;
      return;
    }
  }
  std::free(response);
}

// The answer when not even an error response can be allocated. It is never
// written to: the const_cast only fits it to the C signature.
constexpr char kOutOfMemoryResponse[] = R"({"error":"native converter panicked"})";

char* out_of_memory_response() noexcept { return const_cast<char*>(kOutOfMemoryResponse); }

constexpr std::string_view kResultOpen = R"({"result":{"ole":")";
constexpr std::string_view kQvfKey = R"(","qvf":")";
constexpr std::string_view kLatexKey = R"(","normalized_latex":")";
constexpr std::string_view kResultClose = R"("}})";
constexpr std::string_view kErrorOpen = R"({"error":")";
constexpr std::string_view kErrorClose = R"("})";

// The result response around a compound file of `ole_size` bytes, whose
// digits `write_ole` writes at the position it is given, returning their end,
// and the digits of `qvf`, which `write_qvf` writes given their position and
// the start of the compound file's.
template <class WriteOle, class WriteQvf>
ResponseText result_response(std::size_t ole_size, std::span<const std::uint8_t> qvf,
                             std::string_view normalized_latex, WriteOle&& write_ole, WriteQvf&& write_qvf) {
  const std::size_t size = kResultOpen.size() + 2 * ole_size + kQvfKey.size() + 2 * qvf.size() +
                           kLatexKey.size() + escaped_size(normalized_latex) + kResultClose.size() + 1;
  ResponseText buffer(allocate(size));
  if (buffer == nullptr) return buffer;
  char* const ole = append(buffer.get(), kResultOpen);
  char* out = write_ole(ole);
  out = append(out, kQvfKey);
  out = write_qvf(out, ole);
  out = append(out, kLatexKey);
  out = write_escaped(normalized_latex, out);
  out = append(out, kResultClose);
  *out = '\0';
  return buffer;
}

char* write_qvf_digits(std::span<const std::uint8_t> qvf, char* out) {
  return write_hex(qvf.data(), qvf.size(), out);
}

}  // namespace

char* serialize_result(const conversion::EncodedEquation& equation) noexcept {
  ResponseText response = result_response(
      equation.ole.size(), equation.qvf, equation.normalized_latex,
      [&](char* out) { return write_hex(equation.ole.data(), equation.ole.size(), out); },
      [&](char* out, const char*) { return write_qvf_digits(equation.qvf, out); });
  if (response == nullptr) return serialize_error(kPanicMessage);
  return response.release();
}

ResponseText serialize_framed_result(const conversion::FramedEquation& equation) {
  // The stream is inside the compound file; where its digits are written in
  // one piece there, they are copied rather than encoded a second time.
  const std::optional<std::size_t> body_digits =
      ole::native_body_digits_offset(equation.ole, equation.native_header.size());
  ResponseText response = result_response(
      equation.ole.size, equation.qvf, equation.normalized_latex,
      [&](char* out) {
        char* const end =
            ole::write_compound_file_hex(equation.ole, equation.native_header, equation.qvf, out);
        if (end != out + 2 * equation.ole.size)
          internal_failure("compound file size disagrees with its layout");
        return end;
      },
      [&](char* out, const char* ole_digits) {
        if (!body_digits) return write_qvf_digits(equation.qvf, out);
        std::memcpy(out, ole_digits + *body_digits, 2 * equation.qvf.size());
        return out + 2 * equation.qvf.size();
      });
  if (response == nullptr) throw std::bad_alloc();
  return response;
}

char* serialize_error(std::string_view message) noexcept {
  const std::size_t size = kErrorOpen.size() + escaped_size(message) + kErrorClose.size() + 1;
  char* const buffer = allocate(size);
  if (buffer == nullptr) return out_of_memory_response();
  char* out = append(buffer, kErrorOpen);
  out = write_escaped(message, out);
  out = append(out, kErrorClose);
  *out = '\0';
  return buffer;
}

void release_response(char* response) noexcept {
  if (response != nullptr && response != kOutOfMemoryResponse) keep_or_free(response);
}

void fail_response_allocations(unsigned count) noexcept {
  failing_allocations.store(count, std::memory_order_relaxed);
}

}  // namespace quorvix::ffi
