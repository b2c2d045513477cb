// Text runs, operator names and definitions through the C entry: whole
// equation streams, record by record. Text characters are CHAR records in
// the text typeface (129); under each source encoding the TeX source record
// holds the encoded text while the runs keep their characters, and a
// character the encoding cannot hold is shown as a question mark.
#include <gtest/gtest.h>

#include <string>

#include "support/bytes.h"
#include "support/converted_stream.h"
#include "support/source_encoding.h"

namespace quorvix::ffi {
namespace {

using namespace test_support;

const std::string kBlack = "10 00 00 00 00 00 00 00 0F 01";  // the black definition, then COLOR 1

// A CHAR record of a text run: no options, text typeface, the 16-bit code.
std::string text_char(unsigned code) {
  return "02 00 81 " + hex({static_cast<std::uint8_t>(code & 0xFF), static_cast<std::uint8_t>(code >> 8)});
}

// Header, a TeX source record holding `source` (already encoded) and the
// default definitions.
Bytes stream_start_with_source(const Bytes& source) {
  Bytes out = hx("05 01 00 07 08 \"QRVX7\" 00 01 66");
  out.push_back(static_cast<std::uint8_t>(20 + source.size()));
  append_cstr(out, "TeX Input Language");
  out.insert(out.end(), source.begin(), source.end());
  out.push_back(0);
  const Bytes defs = default_definitions();
  out.insert(out.end(), defs.begin(), defs.end());
  return out;
}

TEST(TextStreams, TextRunsAndOperatorNames) {
  const struct {
    const char* tex;
    std::string body;
  } cases[] = {
      // The space is a character of the run.
      {"\\text{a b}",
       "0A 01 00 " + kBlack + " " + text_char('a') + " " + text_char(' ') + " " + text_char('b') + " 00 00"},
      // An operator name is a function name: the first character marked.
      {"\\operatorname{rank}",
       "0A 01 00 " + kBlack + " 02 02 82 72 00 02 00 82 61 00 02 00 82 6E 00 02 00 82 6B 00 00 00"},
  };
  for (const auto& c : cases) {
    const Bytes expected = concat({stream_start(c.tex), hx(c.body)});
    EXPECT_EQ(hex(converted_stream(c.tex)), hex(expected)) << c.tex;
  }
}

TEST(TextStreams, NonAsciiTextUnderEachSourceEncoding) {
  const std::string e_acute = "\\text{\xC3\xA9}";
  const std::string zhong = "\\text{\xE4\xB8\xAD}";
  const struct {
    const char* encoding;  // null: unset
    std::string tex;
    Bytes source;  // the encoded TeX text
    std::string run;
  } cases[] = {
      {nullptr, e_acute, concat({hx("\"\\text{\""), bytes({0xC3, 0xA9}), hx("\"}\"")}), text_char(0xE9)},
      {"utf-8", e_acute, concat({hx("\"\\text{\""), bytes({0xC3, 0xA9}), hx("\"}\"")}), text_char(0xE9)},
      {"windows-1252", e_acute, concat({hx("\"\\text{\""), bytes({0xE9}), hx("\"}\"")}), text_char(0xE9)},
      {"gbk", e_acute, concat({hx("\"\\text{\""), bytes({0xA8, 0xA6}), hx("\"}\"")}), text_char(0xE9)},
      {"gbk", zhong, concat({hx("\"\\text{\""), bytes({0xD6, 0xD0}), hx("\"}\"")}), text_char(0x4E2D)},
      // Not in windows-1252: a question mark in the source and in the run.
      {"windows-1252", zhong, hx("\"\\text{?}\""), text_char('?')},
  };
  for (const auto& c : cases) {
    const ScopedSourceEncoding scoped(c.encoding);
    const Bytes expected =
        concat({stream_start_with_source(c.source), hx("0A 01 00 " + kBlack + " " + c.run + " 00 00")});
    EXPECT_EQ(hex(converted_stream(c.tex)), hex(expected))
        << (c.encoding ? c.encoding : "unset") << " " << c.tex;
  }
}

// A definition kept raw, its replacement shown, and a use of the defined name
// (unrecorded, so raw) that continues the definition: the raw pieces set
// their own colour and black is selected for the visible letter only.
TEST(TextStreams, NewcommandDefinitionAndUse) {
  const std::string tex = "\\newcommand{\\R}{\\mathbb{R}}\\R";
  const std::string body = "0A 01 00 " + raw_text_records("\\newcommand\\R") + kBlack +
                           " 02 04 8B 1D 21 A1 " + raw_text_records("\\R") + "00 00";
  EXPECT_EQ(hex(converted_stream(tex)), hex(concat({stream_start(tex), hx(body)})));
}

}  // namespace
}  // namespace quorvix::ffi
