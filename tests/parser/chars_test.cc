#include "parser/chars.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvix::parser {
namespace {

struct DecodeCase {
  const char* name;
  std::string text;
  std::u32string chars;
};

// A malformed sequence gives one replacement character for the bytes the
// decoder gives up on at once; the string ends exactly after the last
// character.
TEST(DecodeUtf8Test, WholeTexts) {
  const DecodeCase cases[] = {
      {"empty", "", U""},
      {"ascii", "\\frac{a}{b}", U"\\frac{a}{b}"},
      {"two and three bytes", "a\xCE\xB1\xE2\x88\x9E", U"a\u03B1\u221E"},
      {"four bytes at the end", "x\xF0\x9D\x90\x80", U"x\U0001D400"},
      {"stray continuation byte", "a\x80z", U"a\uFFFDz"},
      {"cut at the end", "ab\xE2\x88", U"ab\uFFFD"},
      {"overlong", "\xC0\xAFq", U"\uFFFD\uFFFDq"},
      {"nul kept", std::string("a\0b", 3), std::u32string(U"a\0b", 3)},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::u32string got = decode_utf8(c.text);
    EXPECT_EQ(got, c.chars);
    EXPECT_EQ(got.size(), c.chars.size());
  }
}

// A reused buffer keeps what it holds in front and loses its old length.
TEST(DecodeUtf8Test, AppendsToTheGivenBuffer) {
  std::u32string buffer = U"pre";
  buffer.reserve(64);
  const std::u32string got = decode_utf8("\xCE\xB1\xCE\xB2", std::move(buffer));
  EXPECT_EQ(got, U"pre\u03B1\u03B2");
  EXPECT_EQ(decode_utf8("ok", std::u32string()), U"ok");
}

TEST(DecodeUtf8Test, EncodesBack) {
  const std::string text = "a\xCE\xB1\xF0\x9D\x90\x80{}";
  EXPECT_EQ(encode_utf8(decode_utf8(text)), text);
}

}  // namespace
}  // namespace quorvix::parser
