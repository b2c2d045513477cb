#include "parser/char_debug.h"

#include <gtest/gtest.h>

namespace quorvix::parser {
namespace {

TEST(CharDebugTest, QuotesAndEscapes) {
  EXPECT_EQ(char_debug(U'x'), "'x'");
  EXPECT_EQ(char_debug(U'}'), "'}'");
  EXPECT_EQ(char_debug(U'\''), "'\\''");
  EXPECT_EQ(char_debug(U'\\'), "'\\\\'");
  EXPECT_EQ(char_debug(U'"'), "'\"'");
  EXPECT_EQ(char_debug(U'\n'), "'\\n'");
  EXPECT_EQ(char_debug(U'\x01'), "'\\u{1}'");
  EXPECT_EQ(char_debug(U'\u00E9'), "'\xC3\xA9'");
  EXPECT_EQ(optional_char_debug(std::nullopt), "None");
  EXPECT_EQ(optional_char_debug(U'}'), "Some('}')");
  EXPECT_EQ(optional_char_debug(U'\''), "Some('\\'')");
}

}  // namespace
}  // namespace quorvix::parser
