#include <gtest/gtest.h>

#include "parser/parser.h"

namespace quorvix::parser {
namespace {

struct NormalizeCase {
  const char* input;
  const char* expected;
};

TEST(NormalizeLatexTest, TrimsMarksDelimitersAndLineEndings) {
  const NormalizeCase cases[] = {
      {"  \xEF\xBB\xBF$$ a+b $$ ", "a+b"},
      {"$$x$$", "x"},
      {"$$", ""},
      {"$", "$"},
      {"$$$", "$"},
      {"$$x$", "$x"},
      {"$ x$y $", "x$y"},
      {"", ""},
      {" \t\r\n ", ""},
      {"\xEF\xBB\xBF", ""},
      {"\xEF\xBB\xBF\xEF\xBB\xBF x ", "x"},
      // Marks are stripped once, before the second trim only.
      {" \xEF\xBB\xBF \xEF\xBB\xBFx", "\xEF\xBB\xBFx"},
      // Unicode white space (U+3000, U+00A0, U+2028) is trimmed too.
      {"\xE3\x80\x80$x$\xC2\xA0", "x"},
      {"$\xE2\x80\xA8x\xE2\x80\xA8$", "x"},
      // Line endings change only inside dollar delimiters.
      {"$a\nb$", "a\r\nb"},
      {"$$a\r\nb\rc\n\nd$$", "a\r\nb\r\nc\r\n\r\nd"},
      {"a\nb\rc", "a\nb\rc"},
      {"x \xC3\xA9 y", "x \xC3\xA9 y"},
  };
  for (const auto& c : cases) EXPECT_EQ(normalize_latex(c.input), c.expected) << "input: " << c.input;
}

}  // namespace
}  // namespace quorvix::parser
