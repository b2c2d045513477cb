// Shared helpers of the compound-file tests: reading little-endian fields, the
// equation stream of the empty expression, and synthetic placeable metafiles.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "common/bytes.h"
#include "support/bytes.h"
#include "support/default_definitions.h"

namespace quorvix::ole::testing {

// Little-endian fields of a buffer; reading past its end throws.
inline std::uint32_t u32_at(const Bytes& b, std::size_t at) {
  if (at + 4 > b.size()) throw std::out_of_range("u32_at past the end");
  return load_u32le(b, at);
}

inline std::uint16_t u16_at(const Bytes& b, std::size_t at) {
  if (at + 2 > b.size()) throw std::out_of_range("u16_at past the end");
  return load_u16le(b, at);
}

inline void append(Bytes& out, std::initializer_list<std::uint8_t> bs) { out.insert(out.end(), bs); }

using test_support::append_cstr;

// The class identifier of the equation object, as stored.
inline const Bytes kClassId = {0xB7, 0xA2, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00,
                               0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// The "\x01Ole" stream: 01 00 00 02, 08 00 00 00, twelve zero bytes.
inline Bytes ole_stream() {
  Bytes b = {0x01, 0x00, 0x00, 0x02, 0x08, 0x00, 0x00, 0x00};
  b.resize(20, 0);
  return b;
}

// The 103-byte "\x01CompObj" record.
inline Bytes comp_obj_stream() {
  Bytes b = {0x01, 0x00, 0xFE, 0xFF, 0x03, 0x0A, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
  b.insert(b.end(), kClassId.begin(), kClassId.end());
  for (std::string_view s : {"Quorvix 7.0 Equation", "Quorvix EF", "Equation.QRVX4"}) {
    append_u32le(b, static_cast<std::uint32_t>(s.size() + 1));
    append_cstr(b, s);
  }
  append(b, {0xF4, 0x39, 0xB2, 0x71});
  b.resize(b.size() + 12, 0);
  return b;
}

// The QVF stream of the empty expression: header, the source record of the
// empty text, the default definitions, FULL and END.
inline Bytes empty_expression_qvf() {
  Bytes q = {0x05, 0x01, 0x00, 0x07, 0x08};
  append_cstr(q, "QRVX7");
  q.push_back(0x01);
  append(q, {0x66, 0x14});
  append_cstr(q, "TeX Input Language");
  q.push_back(0x00);
  const Bytes defs = test_support::default_definitions();
  q.insert(q.end(), defs.begin(), defs.end());
  append(q, {0x0A, 0x00});
  return q;
}

// A synthetic placeable metafile: the 22-byte placeable header, the 18-byte
// standard header and `record_words` words of records (an EOF record first).
struct MetafileSpec {
  std::uint32_t key = 0x9AC6CDD7;
  std::int16_t left = 0, top = 0, right = 1440, bottom = 720;
  std::uint16_t units = 1440;
  std::uint16_t header_words = 9;
  std::size_t record_words = 3;
  std::optional<std::uint32_t> declared_words;  // default: the true size
};

inline Bytes make_metafile(const MetafileSpec& m) {
  Bytes b;
  append_u32le(b, m.key);
  append_u16le(b, 0);  // handle
  append_u16le(b, static_cast<std::uint16_t>(m.left));
  append_u16le(b, static_cast<std::uint16_t>(m.top));
  append_u16le(b, static_cast<std::uint16_t>(m.right));
  append_u16le(b, static_cast<std::uint16_t>(m.bottom));
  append_u16le(b, m.units);
  append_u32le(b, 0);  // reserved
  append_u16le(b, 0);  // checksum (not checked)
  const std::uint32_t words = static_cast<std::uint32_t>(9 + m.record_words);
  append_u16le(b, 1);  // memory metafile
  append_u16le(b, m.header_words);
  append_u16le(b, 0x0300);
  append_u32le(b, m.declared_words.value_or(words));
  append_u16le(b, 0);  // objects
  append_u32le(b, 3);  // largest record
  append_u16le(b, 0);  // unused
  for (std::size_t i = 0; i < m.record_words; ++i) {
    // EOF record (size 3, function 0), then filler words 0x5A5A.
    const std::uint16_t word = i == 0 ? 3 : (i < 3 ? 0 : 0x5A5A + static_cast<std::uint16_t>(i));
    append_u16le(b, word);
  }
  return b;
}

}  // namespace quorvix::ole::testing
