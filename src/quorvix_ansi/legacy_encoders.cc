#include "quorvix_ansi/legacy_encoders.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/internal_error.h"
#include "common/thread_object.h"
#include "quorvix_ansi/unicode_text.h"

namespace quorvix::quorvix_ansi {

namespace {

// GBK is taken from ICU's gb18030 converter, whose two-byte area is the
// WHATWG GBK table; the four-byte forms of gb18030 are not GBK and count as
// unmappable. ICU's windows-1252 table already matches WHATWG, including the
// five bytes 81 8D 8F 90 9D that map to the C1 controls of the same value.
constexpr const char* kConverterNames[] = {"gb18030", "windows-1252"};

constexpr char32_t kEuroSign = 0x20AC;
constexpr char kGbkEuroByte = static_cast<char>(0x80);
// WHATWG's GBK decodes A3 A0 to U+3000, so the private-use character that
// gb18030 pairs with those bytes has no encoding.
constexpr char32_t kGbkUnencodablePrivateUse = 0xE5E5;

// UTF-16 units handed to ICU per call; a chunk always ends on a character
// boundary, so each call is complete on its own (flushed).
constexpr std::int32_t kChunkUnits = 1024;
constexpr std::int32_t kMaxBytesPerChar = 4;
// Length of gb18030's four-byte forms, which GBK lacks.
constexpr std::int32_t kGb18030FourByteLength = 4;
constexpr std::int32_t kChunkBytes = UCNV_GET_MAX_BYTES_FOR_STRING(kChunkUnits, kMaxBytesPerChar);

constexpr const char* kExhaustedMessage = "source encoder exhausted a pre-sized output buffer";
constexpr const char* kBadOffsetMessage = "source encoder reported an invalid unmappable-character offset";

// ICU calls this for each character the converter cannot map (and for
// default-ignorable ones, which ICU's own callbacks would drop silently).
// It writes "?" for a character of the Basic Multilingual Plane and "??"
// above it, then lets the conversion continue.
void U_CALLCONV write_question_marks(const void*, UConverterFromUnicodeArgs* args, const UChar*, int32_t,
                                     UChar32 code_point, UConverterCallbackReason reason, UErrorCode* err) {
  if (reason != UCNV_UNASSIGNED && reason != UCNV_ILLEGAL && reason != UCNV_IRREGULAR) return;
  *err = U_ZERO_ERROR;
  ucnv_cbFromUWriteBytes(args, "??", code_point > 0xFFFF ? 2 : 1, 0, err);
}

// The converters and scratch buffers of one thread, opened on first use and
// closed when the thread ends.
class ThreadConverters {
 public:
  ThreadConverters() : units_(kChunkUnits), bytes_(kChunkBytes), offsets_(kChunkBytes) {}
  ThreadConverters(const ThreadConverters&) = delete;
  ThreadConverters& operator=(const ThreadConverters&) = delete;
  ~ThreadConverters() {
    for (UConverter* c : converters_)
      if (c != nullptr) ucnv_close(c);
  }

  UConverter* get(LegacyEncoding encoding) {
    const auto index = static_cast<std::size_t>(encoding);
    if (converters_[index] == nullptr) converters_[index] = open(kConverterNames[index]);
    return converters_[index];
  }

  UChar* units() { return units_.data(); }
  char* bytes() { return bytes_.data(); }
  std::int32_t* offsets() { return offsets_.data(); }

 private:
  static UConverter* open(const char* name) {
    UErrorCode err = U_ZERO_ERROR;
    UConverter* c = ucnv_open(name, &err);
    if (U_SUCCESS(err)) ucnv_setFromUCallBack(c, write_question_marks, nullptr, nullptr, nullptr, &err);
    if (U_FAILURE(err)) {
      if (c != nullptr) ucnv_close(c);
      internal_failure(std::string("cannot open the ICU converter ") + name + ": " + u_errorName(err));
    }
    return c;
  }

  UConverter* converters_[2] = {nullptr, nullptr};
  std::vector<UChar> units_;
  std::vector<char> bytes_;
  std::vector<std::int32_t> offsets_;
};

// The thread's converters. Null after the thread's destructors have run: a
// conversion made from a later one (a host's own thread-local cleanup) opens
// converters of its own.
ThreadConverters* thread_converters() { return ThreadObject<ThreadConverters>::get(); }

bool is_ascii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// The output buffer, sized for the worst case before encoding starts.
struct Output {
  char* data;
  std::size_t capacity;
  std::size_t used = 0;

  bool put(const char* bytes, std::size_t n) {
    if (n > capacity - used) return false;
    std::copy(bytes, bytes + n, data + used);
    used += n;
    return true;
  }
};

// Converts one chunk of UTF-16 units into `out`. ICU reports, for every
// output byte, the index of the unit it came from; the bytes of one
// character share that index, which lets the GBK rules be applied per
// character.
Status convert_chunk(LegacyEncoding encoding, UConverter* converter, ThreadConverters& buffers,
                     std::int32_t unit_count, Output& out) {
  const UChar* units = buffers.units();
  const UChar* source = units;
  char* const bytes = buffers.bytes();
  char* target = bytes;
  std::int32_t* const offsets = buffers.offsets();
  UErrorCode err = U_ZERO_ERROR;
  ucnv_fromUnicode(converter, &target, bytes + kChunkBytes, &source, units + unit_count, offsets, true, &err);
  if (err == U_BUFFER_OVERFLOW_ERROR || (U_SUCCESS(err) && source != units + unit_count))
    return make_error(kExhaustedMessage);
  if (U_FAILURE(err)) internal_failure(std::string("ICU conversion failed: ") + u_errorName(err));

  static constexpr char kGbkEuro[] = {kGbkEuroByte};
  static constexpr char kQuestionMarks[] = {'?', '?'};
  const auto written = static_cast<std::int32_t>(target - bytes);
  std::int32_t previous = -1;
  for (std::int32_t i = 0; i < written;) {
    const std::int32_t offset = offsets[i];
    if (offset <= previous || offset >= unit_count || U16_IS_TRAIL(units[offset]))
      return make_error(kBadOffsetMessage);
    previous = offset;
    std::int32_t end = i + 1;
    while (end < written && offsets[end] == offset) ++end;

    char32_t code_point = units[offset];
    if (U16_IS_LEAD(units[offset]) && offset + 1 < unit_count && U16_IS_TRAIL(units[offset + 1]))
      code_point = static_cast<char32_t>(U16_GET_SUPPLEMENTARY(units[offset], units[offset + 1]));

    bool fits = true;
    if (encoding == LegacyEncoding::kGbk && code_point == kEuroSign) {
      fits = out.put(kGbkEuro, 1);
    } else if (encoding == LegacyEncoding::kGbk &&
               (end - i == kGb18030FourByteLength || code_point == kGbkUnencodablePrivateUse)) {
      fits = out.put(kQuestionMarks, code_point > 0xFFFF ? 2 : 1);
    } else {
      fits = out.put(bytes + i, static_cast<std::size_t>(end - i));
    }
    if (!fits) return make_error(kExhaustedMessage);
    i = end;
  }
  return {};
}

}  // namespace

Result<std::string> encode_legacy(LegacyEncoding encoding, std::string_view text) {
  // No character's encoded form ("?" and "??" included) is longer than its
  // UTF-8 form, and an invalid UTF-8 sequence becomes one "?", so the input
  // length bounds the output.
  const std::size_t worst_case = text.size();
  std::string result;
  if (worst_case > result.max_size())
    return make_error("QVF TeX source encoded size overflows memory limits");
  // Both encodings agree with ASCII.
  if (is_ascii(text)) return std::string(text);
  result.resize(worst_case);
  Output out{result.data(), result.size()};

  std::optional<ThreadConverters> own;
  ThreadConverters* const thread = thread_converters();
  ThreadConverters& buffers = thread != nullptr ? *thread : own.emplace();
  UConverter* converter = buffers.get(encoding);
  ucnv_resetFromUnicode(converter);
  UChar* units = buffers.units();
  for (std::size_t pos = 0; pos < text.size();) {
    std::int32_t unit_count = 0;
    while (pos < text.size() && unit_count < kChunkUnits - 1) {
      if (static_cast<unsigned char>(text[pos]) < 0x80) {
        units[unit_count++] = static_cast<UChar>(text[pos++]);
        continue;
      }
      const Utf8Step step = decode_utf8(text, pos);
      U16_APPEND_UNSAFE(units, unit_count, step.code_point);
      pos += step.length;
    }
    QV_RETURN_IF_ERROR(convert_chunk(encoding, converter, buffers, unit_count, out));
  }
  result.resize(out.used);
  return result;
}

}  // namespace quorvix::quorvix_ansi
