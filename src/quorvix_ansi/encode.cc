#include "quorvix_ansi/encode.h"

#include <cstdlib>
#include <optional>
#include <string>

#include "common/escape.h"
#include "quorvix_ansi/legacy_encoders.h"
#include "quorvix_ansi/unicode_text.h"

namespace quorvix::quorvix_ansi {

namespace {

constexpr const char* kEncodingVariable = "QUORVIX_SOURCE_ENCODING";

enum class SourceEncoding { kUtf8, kGbk, kWindows1252 };

struct EncodingName {
  std::string_view name;
  SourceEncoding encoding;
};

constexpr EncodingName kEncodingNames[] = {
    {"utf8", SourceEncoding::kUtf8},
    {"utf-8", SourceEncoding::kUtf8},
    {"gbk", SourceEncoding::kGbk},
    {"cp936", SourceEncoding::kGbk},
    {"windows-936", SourceEncoding::kGbk},
    {"gb18030", SourceEncoding::kGbk},
    {"cp1252", SourceEncoding::kWindows1252},
    {"windows-1252", SourceEncoding::kWindows1252},
};

// `text` in double quotes, with quotes, backslashes and control characters
// (C0, delete and C1) escaped.
constexpr EscapeForm kMessageForm{.nul_as_zero = true,
                                  .escape_delete = true,
                                  .escape_c1 = true,
                                  .braced_code = true,
                                  .invalid = InvalidUtf8::kReplace};

std::string quoted(std::string_view text) { return quote_escaped(text, kMessageForm); }

std::optional<SourceEncoding> lookup_encoding(std::string_view value) {
  std::string key(trim_white_space(value));
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  for (const EncodingName& entry : kEncodingNames)
    if (entry.name == key) return entry.encoding;
  return std::nullopt;
}

}  // namespace

Result<std::string> encode_quorvix_text(std::string_view text) {
  // Read afresh on every call so that a change takes effect at the next one.
  // The library only reads the environment; a host that changes it while
  // other threads convert must serialise that itself, as for any getenv user.
  const char* raw = std::getenv(kEncodingVariable);
  if (raw == nullptr) return std::string(text);

  const std::string value = utf8_lossy(raw);
  const std::optional<SourceEncoding> encoding = lookup_encoding(value);
  if (!encoding)
    return make_error("unsupported QUORVIX_SOURCE_ENCODING value " + quoted(value) +
                      "; expected utf-8, gbk, or windows-1252");
  switch (*encoding) {
    case SourceEncoding::kUtf8: return std::string(text);
    case SourceEncoding::kGbk: return encode_legacy(LegacyEncoding::kGbk, text);
    case SourceEncoding::kWindows1252: return encode_legacy(LegacyEncoding::kWindows1252, text);
  }
  return std::string(text);
}

}  // namespace quorvix::quorvix_ansi
