#include "common/utf8.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

namespace quorvix {
namespace {

TEST(Utf8Test, StepDecoder) {
  const struct {
    std::string_view text;
    char32_t code_point;  // of the first step
    std::size_t length;
    bool valid;
  } cases[] = {
      {"a", U'a', 1, true},
      {std::string_view("\0x", 2), 0, 1, true},
      {"\x7F", 0x7F, 1, true},
      {"\xC2\x80", 0x80, 2, true},
      {"\xDF\xBF", 0x7FF, 2, true},
      {"\xE0\xA0\x80", 0x800, 3, true},
      {"\xED\x9F\xBF", 0xD7FF, 3, true},
      {"\xEE\x80\x80", 0xE000, 3, true},
      {"\xEF\xBF\xBF", 0xFFFF, 3, true},
      {"\xF0\x90\x80\x80", 0x10000, 4, true},
      {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4, true},
      // Invalid: the length is the maximal subpart, the bytes that could
      // still have begun a well-formed sequence.
      {"\x80", kReplacementCharacter, 1, false},
      {"\xC0\xAF", kReplacementCharacter, 1, false},      // overlong lead
      {"\xC2", kReplacementCharacter, 1, false},          // cut short
      {"\xC2x", kReplacementCharacter, 1, false},         // wrong continuation
      {"\xE0\x9F\xBF", kReplacementCharacter, 1, false},  // overlong
      {"\xED\xA0\x80", kReplacementCharacter, 1, false},  // surrogate
      {"\xE2\x82", kReplacementCharacter, 2, false},
      {"\xE2\x82x", kReplacementCharacter, 2, false},
      {"\xF0\x8F\xBF\xBF", kReplacementCharacter, 1, false},  // overlong
      {"\xF4\x90\x80\x80", kReplacementCharacter, 1, false},  // past U+10FFFF
      {"\xF0\x9F\x98", kReplacementCharacter, 3, false},
      {"\xF0\x9F\x98(", kReplacementCharacter, 3, false},
      {"\xF5\x80\x80\x80", kReplacementCharacter, 1, false},
      {"\xFF", kReplacementCharacter, 1, false},
  };
  for (const auto& c : cases) {
    const Utf8Step step = decode_utf8(c.text, 0);
    EXPECT_EQ(step.code_point, c.code_point) << testing::PrintToString(c.text);
    EXPECT_EQ(step.length, c.length) << testing::PrintToString(c.text);
    EXPECT_EQ(step.valid, c.valid) << testing::PrintToString(c.text);
  }
  // Decoding starts at the position given, not at the start of the text.
  EXPECT_EQ(decode_utf8("ab\xCE\xB1", 2).code_point, U'\u03B1');
}

TEST(Utf8Test, EncodeThenDecodeEveryBoundary) {
  for (char32_t c : {U'\0', U'\x7F', U'\x80', U'\u07FF', U'\u0800', U'\uD7FF', U'\uE000', U'\uFFFF',
                     U'\U00010000', U'\U0010FFFF'}) {
    std::string s;
    append_utf8(s, c);
    const Utf8Step step = decode_utf8(s, 0);
    EXPECT_TRUE(step.valid) << static_cast<unsigned>(c);
    EXPECT_EQ(step.code_point, c);
    EXPECT_EQ(step.length, s.size());
  }
}

// The whitespace of TeX input is exactly Unicode's White_Space set; every
// other code point, ASCII or not, is content.
TEST(Utf8Test, WhiteSpaceIsTheUnicodeSetAndNothingElse) {
  const std::set<char32_t> white = {0x09,   0x0A,   0x0B,   0x0C,   0x0D,   0x20,   0x85,   0xA0,   0x1680,
                                    0x2000, 0x2001, 0x2002, 0x2003, 0x2004, 0x2005, 0x2006, 0x2007, 0x2008,
                                    0x2009, 0x200A, 0x2028, 0x2029, 0x202F, 0x205F, 0x3000};
  for (char32_t c = 0; c <= 0x10FFFF; ++c)
    ASSERT_EQ(is_white_space(c), white.count(c) == 1) << std::hex << static_cast<std::uint32_t>(c);
}

}  // namespace
}  // namespace quorvix
