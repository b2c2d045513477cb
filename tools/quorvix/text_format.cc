#include "quorvix/text_format.h"

#include <cstdio>

namespace quorvix::tools {

namespace {

// Length of the valid UTF-8 sequence starting at bytes[i], or 0.
std::size_t utf8_sequence_length(std::span<const std::uint8_t> bytes, std::size_t i) {
  const std::uint8_t b = bytes[i];
  std::size_t n = 0;
  char32_t min = 0;
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2;
    min = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3;
    min = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4;
    min = 0x10000;
  } else {
    return 0;
  }
  if (i + n > bytes.size()) return 0;
  char32_t c = b & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) {
    if ((bytes[i + k] & 0xC0) != 0x80) return 0;
    c = (c << 6) | (bytes[i + k] & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return n;
}

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

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string quote_bytes(std::span<const std::uint8_t> bytes) {
  std::string out = "\"";
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::uint8_t b = bytes[i];
    const std::size_t n = utf8_sequence_length(bytes, i);
    char buf[8];
    if (n == 0) {
      std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned>(b));
      out += buf;
      ++i;
      continue;
    }
    if (n == 1) {
      switch (b) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
          if (b < 0x20 || b == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned>(b));
            out += buf;
          } else {
            out += static_cast<char>(b);
          }
      }
    } else {
      out.append(reinterpret_cast<const char*>(bytes.data() + i), n);
    }
    i += n;
  }
  out += '"';
  return out;
}

std::string quote_text(std::string_view text) {
  return quote_bytes({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

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
