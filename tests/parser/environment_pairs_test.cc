// The pairing of \begin{name} with \end{name} that decides whether an
// environment's rows can be read at all.
#include <gtest/gtest.h>

#include <string>

#include "parser/chars.h"
#include "parser/environment_pairs.h"

namespace quorvix::parser {
namespace {

// True when the \begin whose name group ends at the n-th `}` of `text` pairs.
bool nth_pairs(const std::string& text, std::size_t n) {
  const std::u32string chars = decode_utf8(text);
  std::size_t seen = 0;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (chars[i] == U'}' && seen++ == n) {
      EnvironmentPairs pairs;
      return pairs.has_end(chars, i + 1);
    }
  }
  ADD_FAILURE() << "no closing brace " << n << " in " << text;
  return false;
}

TEST(EnvironmentPairsTest, OpeningsPairInnermostFirstByName) {
  struct Case {
    std::string text;
    std::size_t brace;  // the name group of the \begin asked about
    bool paired;
  };
  const Case cases[] = {
      {"\\begin{a}x\\end{a}", 0, true},
      {"\\begin{a}x", 0, false},
      {"\\begin{a}\\begin{a}x\\end{a}", 0, false},  // the inner one takes the only closing
      {"\\begin{a}\\begin{a}x\\end{a}", 1, true},
      {"\\begin{a}\\begin{b}x\\end{a}", 1, false},  // other names do not count
      {"\\begin{a}\\begin{b}x\\end{a}", 0, true},
      {"\\begin {a}x\\end {a}", 0, true},  // spaced as the readers allow
      {"\\begin{a}x\\end{a*}", 0, false},
      {"\\begin{a}x\\\\end{a}", 0, false},  // a row break, then letters
      {"\\begin{a}x\\endx{a}", 0, false},
      {"\\end{a}\\begin{a}x", 1, false},  // a closing before the opening
      // Names interleaved, and named in the other order than they sort.
      {"\\begin{b}x\\begin{a}y\\end{a}\\end{b}", 0, true},
      {"\\begin{b}x\\begin{a}y\\end{a}\\end{b}", 1, true},
      {"\\begin{b}\\begin{a}\\end{b}\\end{a}", 1, true},
      {"\\begin{a}\\end{b}\\begin{a}\\end{a}", 0, false},
      {"\\begin{a}\\end{b}\\begin{a}\\end{a}", 2, true},
      {"\\begin{ab}\\begin{a}x\\end{ab}", 1, false},  // a name that is a prefix of another
      {"\\begin{ab}\\begin{a}x\\end{ab}", 0, true},
  };
  for (const Case& c : cases) EXPECT_EQ(nth_pairs(c.text, c.brace), c.paired) << c.text << " #" << c.brace;
}

}  // namespace
}  // namespace quorvix::parser
