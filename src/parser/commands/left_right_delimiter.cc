// The delimiter after \left, \right and \middle, the fence tests on its
// character, and the trees built around a \left group that is not drawn as
// a fence.
#include "parser/commands/left_right_delimiter.h"

#include <algorithm>
#include <array>
#include <utility>

#include "parser/chars.h"
#include "parser/commands/symbol_tables.h"
#include "parser/helpers.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

// The characters that can stand alone as a fence, sorted.
constexpr std::array<char32_t, 16> kFenceChars = {
    U'(', U')',      U'<',      U'>',      U'[',      U']',      U'{',      U'|',
    U'}', U'\u2016', U'\u2308', U'\u2309', U'\u230A', U'\u230B', U'\u3008', U'\u3009',
};
static_assert(std::is_sorted(kFenceChars.begin(), kFenceChars.end()));

struct FencePair {
  char32_t left;
  char32_t right;
  constexpr bool operator<(const FencePair& o) const {
    return left != o.left ? left < o.left : right < o.right;
  }
  constexpr bool operator==(const FencePair&) const = default;
};

// The pairs a fence can be drawn with, left character first, sorted.
constexpr std::array<FencePair, 10> kFencePairs = {{
    {U'(', U')'},
    {U'<', U'>'},
    {U'[', U']'},
    {U'{', U'}'},
    {U'|', U'|'},
    {U'|', U'\u3009'},
    {U'\u2016', U'\u2016'},
    {U'\u2308', U'\u2309'},
    {U'\u230A', U'\u230B'},
    {U'\u3008', U'\u3009'},
}};
static_assert(std::is_sorted(kFencePairs.begin(), kFencePairs.end()));

bool is_raw_name_delimiter(std::string_view name) {
  return name == "lgroup" || name == "rgroup" || name == "lt" || name == "gt";
}

[[gnu::noinline]] Error expected(std::string_view label) {
  std::string message = "expected ";
  message += label;
  return make_error(std::move(message));
}

[[gnu::noinline]] Error unsupported(std::string_view label, std::string_view name) {
  std::string message = "unsupported ";
  message += label;
  message += ": \\";
  message += name;
  return make_error(std::move(message));
}

}  // namespace

bool supports_one_sided_delimiter(char32_t c) {
  return std::binary_search(kFenceChars.begin(), kFenceChars.end(), c);
}

bool supports_dynamic_delimiter_pair(char32_t left, char32_t right) {
  return std::binary_search(kFencePairs.begin(), kFencePairs.end(), FencePair{left, right});
}

std::optional<char32_t> delimiter_name_char(std::string_view name) {
  if (std::optional<char32_t> c = delimiter_command_char(name)) return c;
  const std::optional<char32_t> symbol = command_to_char(name);
  if (symbol && supports_one_sided_delimiter(*symbol)) return symbol;
  return std::nullopt;
}

Result<LeftRightDelimiter> parse_left_right_delimiter(Parser& p, std::string_view label) {
  p.skip_ws();
  const std::optional<char32_t> first = p.next_char();
  if (!first) return expected(label);
  if (*first != U'\\') return LeftRightDelimiter{DelimiterForm::Plain, *first, {}};
  const std::optional<char32_t> second = p.peek();
  if (!second) return expected(label);
  if (!is_ascii_letter(*second)) {
    p.next_char();
    return LeftRightDelimiter{DelimiterForm::Plain, *second == U'|' ? U'\u2016' : *second, {}};
  }
  const std::size_t start = p.pos();
  while (p.peek() && is_ascii_letter(*p.peek())) p.next_char();
  std::string name = encode_utf8(p.chars().substr(start, p.pos() - start));
  if (is_raw_name_delimiter(name)) return LeftRightDelimiter{DelimiterForm::RawName, 0, std::move(name)};
  if (const std::optional<char32_t> c = command_specific_to_char(name))
    return LeftRightDelimiter{DelimiterForm::Named, *c, std::move(name)};
  if (const std::optional<char32_t> c = delimiter_name_char(name))
    return LeftRightDelimiter{DelimiterForm::Plain, *c, {}};
  return unsupported(label, name);
}

Result<DelimiterWithRaw> parse_left_right_delimiter_with_raw(Parser& p, std::string_view label) {
  const std::size_t start = p.pos();
  QV_ASSIGN_OR_RETURN(LeftRightDelimiter delimiter, parse_left_right_delimiter(p, label));
  return DelimiterWithRaw{std::move(delimiter), encode_utf8(p.chars().substr(start, p.pos() - start))};
}

void push_left_right_delimiter(ExprList& items, std::string_view prefix, LeftRightDelimiter delimiter) {
  switch (delimiter.form) {
    case DelimiterForm::Plain: items.push_back(ast::make_char(delimiter.ch)); return;
    case DelimiterForm::Named:
      items.push_back(Expr(ast::CommandSymbol{std::move(delimiter.name), delimiter.ch}));
      return;
    case DelimiterForm::RawName: {
      std::string raw = "\\";
      raw += prefix;
      raw += '\\';
      raw += delimiter.name;
      items.push_back(ast::make_raw(std::move(raw)));
      return;
    }
  }
}

Expr partial_left_right_expr(std::string_view left_raw, Expr body, std::optional<std::string_view> closing) {
  ExprList items;
  std::string opening = "\\left";
  opening += left_raw;
  items.push_back(ast::make_raw(std::move(opening)));
  push_visible_items(items, std::move(body));
  if (closing) items.push_back(ast::make_raw(std::string(*closing)));
  return ast::make_sequence(std::move(items));
}

namespace {

bool is_raw_middle(const Expr& e) {
  const auto* raw = e.get_if<ast::RawTex>();
  return raw != nullptr && raw->text == "\\middle";
}

bool is_fence_item(const Expr& e) {
  if (const auto* c = e.get_if<ast::Char>()) return supports_one_sided_delimiter(c->ch);
  if (const auto* s = e.get_if<ast::CommandSymbol>()) return supports_one_sided_delimiter(s->ch);
  return false;
}

}  // namespace

std::optional<Expr> rewrite_missing_outer_fence_with_middle(Expr& body) {
  auto* seq = body.get_if<ast::Sequence>();
  if (seq == nullptr || seq->items.empty()) return std::nullopt;
  ExprList& items = seq->items;
  // The \middle and its fence either lead the body or form its first item.
  ExprList* head = nullptr;
  std::size_t rest = 0;  // the first body item after the fence
  if (is_raw_middle(items.front()) && items.size() >= 2) {
    head = &items;
    rest = 2;
  } else if (auto* inner = items.front().get_if<ast::Sequence>();
             inner != nullptr && inner->items.size() == 2 && is_raw_middle(inner->items.front())) {
    head = &inner->items;
    rest = 1;
  }
  if (head == nullptr || !is_fence_item((*head)[1])) return std::nullopt;
  ExprList out;
  out.reserve(2 + items.size() - rest);
  out.push_back(std::move((*head)[0]));
  out.push_back(std::move((*head)[1]));
  for (std::size_t i = rest; i < items.size(); ++i) out.push_back(std::move(items[i]));
  return ast::collapse_single_sequence(ast::make_sequence(std::move(out)));
}

}  // namespace quorvix::parser
