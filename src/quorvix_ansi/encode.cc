#include "quorvix_ansi/encode.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "common/escape.h"
#include "quorvix_ansi/legacy_encoders.h"
#include "quorvix_ansi/unicode_text.h"

namespace quorvix::quorvix_ansi {

namespace {

constexpr const char* kEncodingVariable = "QUORVIX_SOURCE_ENCODING";

// The accepted spellings (after trimming and lower-casing ASCII letters).
enum class Named : std::uint8_t { kUtf8, kGbk, kWindows1252 };

struct EncodingName {
  std::string_view name;
  Named encoding;
};

constexpr EncodingName kEncodingNames[] = {
    {"utf8", Named::kUtf8},
    {"utf-8", Named::kUtf8},
    {"gbk", Named::kGbk},
    {"cp936", Named::kGbk},
    {"windows-936", Named::kGbk},
    {"gb18030", Named::kGbk},
    {"cp1252", Named::kWindows1252},
    {"windows-1252", Named::kWindows1252},
};

// `text` in double quotes, with quotes, backslashes and control characters
// (C0, delete and C1) escaped.
constexpr EscapeForm kMessageForm{.nul_as_zero = true,
                                  .escape_delete = true,
                                  .escape_c1 = true,
                                  .braced_code = true,
                                  .invalid = InvalidUtf8::kReplace};

std::string quoted(std::string_view text) { return quote_escaped(text, kMessageForm); }

std::optional<Named> lookup_encoding(std::string_view value) {
  std::string key(trim_white_space(value));
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  for (const EncodingName& entry : kEncodingNames)
    if (entry.name == key) return entry.encoding;
  return std::nullopt;
}

}  // namespace

SourceEncoding SourceEncoding::from_environment() { return from_value(std::getenv(kEncodingVariable)); }

SourceEncoding SourceEncoding::from_value(const char* raw) {
  SourceEncoding chosen;
  if (raw == nullptr) return chosen;
  const std::string value = utf8_lossy(raw);
  const std::optional<Named> named = lookup_encoding(value);
  if (!named) {
    chosen.kind_ = Kind::kUnsupported;
    chosen.unsupported_ =
        std::make_shared<const std::string>("unsupported QUORVIX_SOURCE_ENCODING value " + quoted(value) +
                                            "; expected utf-8, gbk, or windows-1252");
    return chosen;
  }
  switch (*named) {
    case Named::kUtf8: chosen.kind_ = Kind::kUtf8; break;
    case Named::kGbk: chosen.kind_ = Kind::kGbk; break;
    case Named::kWindows1252: chosen.kind_ = Kind::kWindows1252; break;
  }
  return chosen;
}

Result<std::string> encode_quorvix_text(std::string_view text, const SourceEncoding& encoding) {
  switch (encoding.kind_) {
    case SourceEncoding::Kind::kUtf8: return std::string(text);
    case SourceEncoding::Kind::kGbk: return encode_legacy(LegacyEncoding::kGbk, text);
    case SourceEncoding::Kind::kWindows1252: return encode_legacy(LegacyEncoding::kWindows1252, text);
    case SourceEncoding::Kind::kUnsupported: return make_error(*encoding.unsupported_);
  }
  return std::string(text);
}

Result<std::string> encode_quorvix_text(std::string_view text) {
  // The library only reads the environment; a host that changes it while
  // other threads convert must serialise that itself, as for any getenv user.
  return encode_quorvix_text(text, SourceEncoding::from_environment());
}

}  // namespace quorvix::quorvix_ansi
