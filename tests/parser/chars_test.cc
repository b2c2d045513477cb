#include "parser/chars.h"

#include <gtest/gtest.h>

#include <string>

#include "common/utf8.h"

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

// Long texts are widened in blocks: a character that is not ASCII at any
// offset, and texts that end at any offset into a block, decode as the
// one-step decoder reads them, and encode back to the same bytes.
TEST(DecodeUtf8Test, EveryOffsetAroundTheAsciiBlocks) {
  const std::string others[] = {"\xCE\xB1", "\xE2\x88\x9E", "\xF0\x9D\x90\x80", "\x80"};
  for (const std::string& other : others) {
    for (std::size_t at = 0; at <= 40; ++at) {
      for (std::size_t tail = 0; tail <= 20; tail += 5) {
        const std::string text = std::string(at, 'a') + other + std::string(tail, 'b');
        SCOPED_TRACE(testing::Message() << "offset " << at << ", tail " << tail);
        std::u32string expected;
        for (std::size_t pos = 0; pos < text.size();) {
          const Utf8Step step = quorvix::decode_utf8(text, pos);
          expected.push_back(step.code_point);
          pos += step.length;
        }
        const std::u32string got = decode_utf8(text);
        ASSERT_EQ(got, expected);
        if (other != "\x80") {
          EXPECT_EQ(encode_utf8(got), text);
        }
      }
    }
  }
  const std::string ascii(37, 'q');
  EXPECT_EQ(decode_utf8(ascii), std::u32string(37, U'q'));
  EXPECT_EQ(encode_utf8(std::u32string(37, U'q')), ascii);
}

// ASCII text is widened in blocks whose last one may overlap the one before:
// every length, with every character different from its neighbours, must
// come out character for character, also after a character that is not
// ASCII, and appended to what the buffer holds.
TEST(DecodeUtf8Test, AsciiOfEveryLength) {
  for (std::size_t size = 0; size <= 50; ++size) {
    std::string text;
    std::u32string expected;
    for (std::size_t i = 0; i < size; ++i) {
      text += static_cast<char>('!' + (i * 7 + size) % 90);
      expected += static_cast<char32_t>(static_cast<unsigned char>(text.back()));
    }
    SCOPED_TRACE(testing::Message() << "size " << size);
    EXPECT_EQ(decode_utf8(text), expected);
    EXPECT_EQ(decode_utf8(text, U"xyz"), U"xyz" + expected);
    EXPECT_EQ(decode_utf8("\xCE\xB1" + text), U"\u03B1" + expected);
    EXPECT_EQ(decode_utf8(text + "\xCE\xB1"), expected + U"\u03B1");
  }
}

TEST(DecodeUtf8Test, EncodesBack) {
  const std::string text = "a\xCE\xB1\xF0\x9D\x90\x80{}";
  EXPECT_EQ(encode_utf8(decode_utf8(text)), text);
}

}  // namespace
}  // namespace quorvix::parser
