// Helpers shared by the character and font tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

#include "common/bytes.h"

namespace quorvix::qvf::testing {

inline Bytes bytes(std::initializer_list<int> values) {
  Bytes out;
  for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

// Bytes followed by a NUL-terminated name, for the font definition records.
inline Bytes with_name(std::initializer_list<int> head, std::string_view name) {
  Bytes out = bytes(head);
  append_bytes(out, name);
  out.push_back(0);
  return out;
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

inline std::string hex(const Bytes& b) {
  std::string s;
  char buf[4];
  for (std::uint8_t v : b) {
    std::snprintf(buf, sizeof buf, "%02X ", v);
    s += buf;
  }
  if (!s.empty()) s.pop_back();
  return s;
}

}  // namespace quorvix::qvf::testing
