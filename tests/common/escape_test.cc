#include "common/escape.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvix {
namespace {

constexpr EscapeForm kPlain{};
constexpr EscapeForm kHexInvalid{.escape_delete = true, .invalid = InvalidUtf8::kHex};
constexpr EscapeForm kBraced{.nul_as_zero = true,
                             .escape_delete = true,
                             .escape_c1 = true,
                             .braced_code = true,
                             .invalid = InvalidUtf8::kReplace};
constexpr EscapeForm kSingleQuoted{
    .quote = '\'', .nul_as_zero = true, .escape_delete = true, .braced_code = true};

TEST(EscapeTest, EachFormQuotesTheSameText) {
  // Quote, apostrophe, backslash, named escapes, NUL and another C0 control,
  // delete, U+0085 (a C1 control), a letter beyond ASCII, a stray
  // continuation byte and a sequence cut short.
  const std::string text = std::string("\"'\\\n\r\t") + '\0' + "\x01\x7F\xC2\x85\xC3\xA9\x80\xE2\x82";
  const struct {
    const EscapeForm* form;
    std::string quoted;
  } cases[] = {
      {&kPlain, "\"\\\"'\\\\\\n\\r\\t\\x00\\x01\x7F\xC2\x85\xC3\xA9\x80\xE2\x82\""},
      {&kHexInvalid, "\"\\\"'\\\\\\n\\r\\t\\x00\\x01\\x7F\xC2\x85\xC3\xA9\\x80\\xE2\\x82\""},
      {&kBraced, "\"\\\"'\\\\\\n\\r\\t\\0\\u{1}\\u{7f}\\u{85}\xC3\xA9\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {&kSingleQuoted, "'\"\\'\\\\\\n\\r\\t\\0\\u{1}\\u{7f}\xC2\x85\xC3\xA9\x80\xE2\x82'"},
  };
  for (const auto& c : cases) EXPECT_EQ(quote_escaped(text, *c.form), c.quoted);
  EXPECT_EQ(quote_escaped("", kPlain), "\"\"");
}

TEST(EscapeTest, SingleCharacters) {
  const struct {
    char32_t c;
    const char* plain;
    const char* single_quoted;
  } cases[] = {
      {U'x', "x", "x"},
      {U'"', "\\\"", "\""},
      {U'\'', "'", "\\'"},
      {U'\\', "\\\\", "\\\\"},
      {U'\0', "\\x00", "\\0"},
      {U'\x1F', "\\x1F", "\\u{1f}"},
      {U'\x7F', "\x7F", "\\u{7f}"},
      {U'\u00E9', "\xC3\xA9", "\xC3\xA9"},
      {U'\U0001D400', "\xF0\x9D\x90\x80", "\xF0\x9D\x90\x80"},
  };
  for (const auto& c : cases) {
    std::string plain, single;
    append_escaped_char(plain, c.c, kPlain);
    append_escaped_char(single, c.c, kSingleQuoted);
    EXPECT_EQ(plain, c.plain) << static_cast<unsigned>(c.c);
    EXPECT_EQ(single, c.single_quoted) << static_cast<unsigned>(c.c);
  }
}

}  // namespace
}  // namespace quorvix
