// The closers of delimited bodies, looked up in the table, against a plain
// scan from the opener, for every opener of many texts and of ranges of them.
#include "parser/delimiter_closers.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

namespace quorvix::parser {
namespace {

// The closer found by reading from just after the opener: braces hide what
// they hold (a `}` with nothing open is ignored), a nested pair of the
// opener's kind must close first, and a `|` body ends at the next `|`.
std::optional<std::size_t> scanned_closer(std::u32string_view text, std::size_t open) {
  const char32_t o = text[open];
  const char32_t c = o == U'(' ? U')' : o == U'[' ? U']' : U'|';
  std::size_t depth = 0;
  std::size_t nested = 0;
  for (std::size_t i = open + 1; i < text.size(); ++i) {
    if (text[i] == U'{') {
      ++depth;
    } else if (text[i] == U'}') {
      if (depth > 0) --depth;
    } else if (depth == 0 && text[i] == c) {
      if (nested == 0) return i;
      --nested;
    } else if (depth == 0 && text[i] == o) {
      ++nested;
    }
  }
  return std::nullopt;
}

bool is_opener(char32_t c) { return c == U'(' || c == U'[' || c == U'|'; }

void expect_table_matches_scan(std::u32string_view text) {
  DelimiterClosers closers;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::optional<std::size_t> expected =
        is_opener(text[i]) ? scanned_closer(text, i) : std::optional<std::size_t>();
    EXPECT_EQ(closers.closer(text, i), expected) << "at " << i;
  }
}

TEST(DelimiterClosersTest, ChosenTexts) {
  const std::u32string texts[] = {
      U"(a)",   U"((a)b)", U"(a",         U"({)})",      U"({x)",    U"(}a)",  U"[(])",
      U"|a|b|", U"|{|}|",  U"(a)(b)((c)", U"\\abs(x\\}", U"[[[]]]]", U"{(}a)", U"(|)|",
  };
  for (const std::u32string& text : texts) {
    SCOPED_TRACE(std::string(text.begin(), text.end()));
    expect_table_matches_scan(text);
  }
}

TEST(DelimiterClosersTest, RandomTexts) {
  std::mt19937 random(7);
  const std::u32string alphabet = U"(){}[]|ax";
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  for (int round = 0; round < 300; ++round) {
    std::u32string text(static_cast<std::size_t>(1 + round % 40), U' ');
    for (char32_t& c : text) c = alphabet[pick(random)];
    SCOPED_TRACE(std::string(text.begin(), text.end()));
    expect_table_matches_scan(text);
  }
}

TEST(DelimiterClosersTest, RangesSeeOnlyTheirOwnText) {
  const std::u32string text = U"x(a{(}b)c)(d)|e|";
  DelimiterClosers whole;
  for (std::size_t begin = 0; begin < text.size(); ++begin) {
    for (std::size_t end = begin; end <= text.size(); ++end) {
      const std::u32string_view range = std::u32string_view(text).substr(begin, end - begin);
      DelimiterClosers inner(whole, text, begin);
      // A range of the range, one character in, where there is room.
      for (std::size_t i = 0; i < range.size(); ++i) {
        const std::optional<std::size_t> expected =
            is_opener(range[i]) ? scanned_closer(range, i) : std::optional<std::size_t>();
        EXPECT_EQ(inner.closer(range, i), expected) << begin << ".." << end << " at " << i;
      }
      if (range.size() > 1) {
        DelimiterClosers nested(inner, range, 1);
        const std::u32string_view sub = range.substr(1);
        for (std::size_t i = 0; i < sub.size(); ++i) {
          const std::optional<std::size_t> expected =
              is_opener(sub[i]) ? scanned_closer(sub, i) : std::optional<std::size_t>();
          EXPECT_EQ(nested.closer(sub, i), expected) << begin + 1 << ".." << end << " at " << i;
        }
      }
    }
  }
}

}  // namespace
}  // namespace quorvix::parser
