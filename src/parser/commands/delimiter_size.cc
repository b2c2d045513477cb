// The delimiter size words: \big, \Big, \bigg, \Bigg and their l and r forms
// give the delimiter after them as a SizedDelimiter (the size is not kept);
// without a delimiter they vanish. The physics commands skip a size word in
// front of their own delimiters.
#include <algorithm>
#include <array>
#include <string_view>

#include "parser/chars.h"
#include "parser/commands/left_right_delimiter.h"
#include "parser/commands/templates.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

// Every size word, in the order a skipped one is looked for.
constexpr std::array<std::string_view, 16> kSizeWords = {
    "big",  "Big",  "bigg",  "Bigg",  "bigl",  "Bigl",  "bigr",  "Bigr",
    "bigm", "Bigm", "biggl", "Biggl", "biggr", "Biggr", "biggm", "Biggm",
};
static_assert(std::all_of(kSizeWords.begin(), kSizeWords.end(),
                          [](std::string_view w) { return w.size() >= 3 && w.substr(1, 2) == "ig"; }));

bool spelled_at(const Parser& p, std::size_t at, std::string_view word) {
  const std::u32string_view chars = p.chars();
  if (chars.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (chars[at + i] != static_cast<unsigned char>(word[i])) return false;
  return at + word.size() == chars.size() || !is_ascii_letter(chars[at + word.size()]);
}

}  // namespace

bool ignored_delimiter_size_command(std::string_view name) {
  // The m forms are not among them: they stay raw TeX. Every size word is
  // spelled "big" after its first letter, which most names fail at once.
  if (name.size() < 3 || name[1] != 'i' || name[2] != 'g' || name.ends_with('m')) return false;
  return std::find(kSizeWords.begin(), kSizeWords.end(), name) != kSizeWords.end();
}

Result<Expr> parse_delimiter_size_command(Parser& p, std::string_view name) {
  const std::size_t after_name = p.pos();
  if (name == "big") {
    // Plain \big takes its delimiter or fails, unless the input ends here.
    p.skip_ws();
    if (!p.at_end()) {
      QV_ASSIGN_OR_RETURN(const char32_t c, parse_delimiter_char(p, "big delimiter"));
      return Expr(ast::SizedDelimiter{c});
    }
  }
  Result<char32_t> c = parse_delimiter_char(p, "size-hinted delimiter");
  if (c.ok()) return Expr(ast::SizedDelimiter{c.value()});
  p.set_pos(after_name);
  return Expr();
}

std::optional<std::string_view> consume_optional_ignored_delimiter_size_command(Parser& p) {
  p.skip_ws();
  if (p.peek() != U'\\') return std::nullopt;
  const std::size_t at = p.pos() + 1;
  for (const std::string_view word : kSizeWords) {
    if (!spelled_at(p, at, word)) continue;
    p.set_pos(at + word.size());
    return word;
  }
  return std::nullopt;
}

}  // namespace quorvix::parser
