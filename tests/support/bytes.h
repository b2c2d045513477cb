// Byte strings for tests: building them from numbers, hex text and
// NUL-terminated names, and showing them as hex text.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "common/bytes.h"

namespace quorvix::test_support {

inline Bytes bytes(std::initializer_list<int> values) {
  Bytes out;
  for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

// "02 00 83" -> {0x02, 0x00, 0x83}; a quoted run "abc" stands for its ASCII bytes.
inline Bytes hx(std::string_view s) {
  Bytes out;
  for (std::size_t i = 0; i < s.size();) {
    const char c = s[i];
    if (c == ' ' || c == '\n') {
      ++i;
    } else if (c == '"') {
      const std::size_t end = s.find('"', i + 1);
      for (std::size_t j = i + 1; j < end; ++j) out.push_back(static_cast<std::uint8_t>(s[j]));
      i = end + 1;
    } else {
      out.push_back(static_cast<std::uint8_t>(std::stoi(std::string(s.substr(i, 2)), nullptr, 16)));
      i += 2;
    }
  }
  return out;
}

// {0x02, 0xAB} -> "02 AB".
inline std::string hex(const Bytes& b) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string s;
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (i > 0) s.push_back(' ');
    s.push_back(kDigits[b[i] >> 4]);
    s.push_back(kDigits[b[i] & 0xF]);
  }
  return s;
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// Bytes followed by a NUL-terminated name, for the font definition records.
inline Bytes with_name(std::initializer_list<int> head, std::string_view name) {
  Bytes out = bytes(head);
  append_bytes(out, name);
  out.push_back(0);
  return out;
}

// A NUL-terminated text.
inline void append_cstr(Bytes& out, std::string_view s) {
  append_bytes(out, s);
  out.push_back(0);
}

inline std::size_t count_occurrences(const Bytes& hay, const Bytes& needle) {
  std::size_t n = 0;
  for (std::size_t i = 0; i + needle.size() <= hay.size(); ++i)
    if (std::equal(needle.begin(), needle.end(), hay.begin() + static_cast<std::ptrdiff_t>(i))) ++n;
  return n;
}

}  // namespace quorvix::test_support
