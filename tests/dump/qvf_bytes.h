// Hand-built QVF streams for the inspector tests, written byte by byte from
// the record layouts rather than by the library's writer.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "common/bytes.h"
#include "support/default_definitions.h"

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
    const Bytes d = test_support::default_definitions();
    b_.insert(b_.end(), d.begin(), d.end());
    return *this;
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
