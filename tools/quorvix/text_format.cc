#include "quorvix/text_format.h"

#include <cstdio>

#include "common/escape.h"
#include "common/utf8.h"

namespace quorvix::tools {

namespace {

// Printable UTF-8 passes through; delete and the bytes of invalid sequences
// become \xNN like the C0 controls.
constexpr EscapeForm kListingForm{.escape_delete = true, .invalid = InvalidUtf8::kHex};

bool is_combining(std::uint16_t code) {
  return (code >= 0x0300 && code <= 0x036F) || (code >= 0x20D0 && code <= 0x20FF) ||
         (code >= 0xFE20 && code <= 0xFE2F);
}

}  // namespace

std::string hex_byte(std::uint8_t value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", static_cast<unsigned>(value));
  return buf;
}

std::string hex_offset(std::size_t value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%04zX", value);
  return buf;
}

std::string quote_bytes(std::span<const std::uint8_t> bytes) {
  return quote_text({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

std::string quote_text(std::string_view text) { return quote_escaped(text, kListingForm); }

std::string describe_code(std::uint16_t code) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(code));
  std::string out = buf;
  if (code < 0x20 || (code >= 0x7F && code < 0xA0)) return out + " (control)";
  if (code >= 0xD800 && code <= 0xDFFF) return out + " (surrogate)";
  if (code >= 0xE000 && code <= 0xF8FF) return out + " (private use)";
  if (code >= 0xFFFE) return out + " (not a character)";
  out += " '";
  if (is_combining(code)) append_utf8(out, U'\u25CC');
  append_utf8(out, code);
  out += '\'';
  return out;
}

}  // namespace quorvix::tools
