// Hand-built QVF streams for the inspector tests, written byte by byte from
// the record layouts rather than by the library's writer.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "common/bytes.h"

namespace quorvix::tools::testing {

class StreamBytes {
 public:
  StreamBytes& raw(std::initializer_list<int> bytes) {
    for (int x : bytes) b_.push_back(static_cast<std::uint8_t>(x));
    return *this;
  }
  StreamBytes& text(std::string_view s) {
    b_.insert(b_.end(), s.begin(), s.end());
    return *this;
  }
  StreamBytes& cstring(std::string_view s) { return text(s).raw({0}); }

  // The 12-byte header: version 5, platform 1, product 0, version 7.8, "QRVX7".
  StreamBytes& header(int options = 1) { return raw({5, 1, 0, 7, 8}).cstring("QRVX7").raw({options}); }

  // The TeX source record for a short text (one-byte length).
  StreamBytes& tex_source(std::string_view tex) {
    raw({102, static_cast<int>(18 + 1 + tex.size() + 1)});
    return cstring("TeX Input Language").cstring(tex);
  }

  // The default definition block: two encodings, five fonts, EQN_PREFS.
  StreamBytes& default_definitions() {
    raw({0x13}).cstring("WinAllBasicCodePages");
    raw({0x11, 5}).cstring("Times New Roman");
    raw({0x11, 3}).cstring("Symbol");
    raw({0x11, 5}).cstring("Courier New");
    raw({0x11, 4}).cstring("QV Extra");
    raw({0x13}).cstring("WinAllCodePages");
    raw({0x11, 6, 0xCB, 0xCE, 0xCC, 0xE5, 0});
    return raw({0x12, 0x00, 0x08, 0x21, 0x2f, 0x45, 0x8f, 0x44, 0x2f, 0x41, 0x50, 0xf4, 0x10, 0x0f,
                0x47, 0x5f, 0x41, 0x50, 0xf2, 0x1f, 0x1e, 0x41, 0x50, 0xf4, 0x15, 0x0f, 0x41, 0x00,
                0xf4, 0x45, 0xf4, 0x25, 0xf4, 0x8f, 0x42, 0x5f, 0x41, 0x00, 0xf4, 0x10, 0x0f, 0x43,
                0x5f, 0x41, 0x00, 0xf4, 0x8f, 0x45, 0xf4, 0x2a, 0x5f, 0x48, 0xf4, 0x8f, 0x41, 0x00,
                0xf4, 0x10, 0x0f, 0x40, 0xf4, 0x8f, 0x41, 0x7f, 0x48, 0xf4, 0x10, 0x0f, 0x41, 0x2a,
                0x5f, 0x44, 0x5f, 0x45, 0xf4, 0x5f, 0x45, 0xf4, 0x5f, 0x41, 0x0f, 0x0c, 0x01, 0x00,
                0x01, 0x00, 0x01, 0x02, 0x02, 0x02, 0x02, 0x00, 0x02, 0x00, 0x01, 0x01, 0x01, 0x00,
                0x03, 0x00, 0x01, 0x00, 0x04, 0x00, 0x05, 0x00});
  }

  // A CHAR without options: tag, options 0, typeface byte, 16-bit code.
  StreamBytes& chr(int typeface, int code) { return raw({2, 0, typeface, code & 0xFF, code >> 8}); }

  std::size_t size() const { return b_.size(); }
  const Bytes& bytes() const { return b_; }

 private:
  Bytes b_;
};

// Header, source record and the default definitions: what every stream of a
// non-empty expression starts with.
inline StreamBytes stream_preamble(std::string_view tex = "x") {
  StreamBytes s;
  s.header().tex_source(tex).default_definitions();
  return s;
}

}  // namespace quorvix::tools::testing
