// \left ... \right groups, \middle and the delimiter size words (\big,
// \Bigl ...), and the delimiter read after \left, \right and \middle: a
// character, a backslash and one other character, or a delimiter name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ast/expr.h"
#include "common/result.h"

namespace quorvix::parser {

class Parser;
struct NamedCommand;

enum class DelimiterForm : std::uint8_t {
  Plain,    // a character
  Named,    // a symbol that keeps its name beside its character (\langle)
  RawName,  // a name kept as written (\lgroup, \rgroup, \lt, \gt)
};

struct LeftRightDelimiter {
  DelimiterForm form = DelimiterForm::Plain;
  char32_t ch = 0;   // Plain and Named
  std::string name;  // Named and RawName, without the backslash
};

struct DelimiterWithRaw {
  LeftRightDelimiter delimiter;
  std::string raw;  // the text consumed, from the whitespace before the delimiter on
};

// Reads a delimiter after whitespace. Fails with "expected <label>" at the
// end of the input and "unsupported <label>: \<name>" for an unknown name;
// the position is then wherever the read stopped.
Result<LeftRightDelimiter> parse_left_right_delimiter(Parser& p, std::string_view label);
// The same, with the text it consumed.
Result<DelimiterWithRaw> parse_left_right_delimiter_with_raw(Parser& p, std::string_view label);

// The character a delimiter name stands for: the delimiter names first,
// then the plain symbols when their character can be a fence (\Vert, \lt).
std::optional<char32_t> delimiter_name_char(std::string_view name);

// The characters that can stand alone as a one-sided fence.
bool supports_one_sided_delimiter(char32_t c);
// True when `left` and `right`, in this order, make a pair of fences.
bool supports_dynamic_delimiter_pair(char32_t left, char32_t right);

// Appends the visible form of a delimiter (a character or a named symbol) or,
// for a name kept as written, RawTex "\" + prefix + "\" + name.
void push_left_right_delimiter(ast::ExprList& items, std::string_view prefix, LeftRightDelimiter delimiter);

// An unfinished \left group: RawTex "\left" + the left delimiter as written,
// the body's items, then RawTex(closing) when there is one.
ast::Expr partial_left_right_expr(std::string_view left_raw, ast::Expr body,
                                  std::optional<std::string_view> closing);

// Two `.` delimiters around a body that starts with a raw \middle and a fence
// character: RawTex "\middle", the fence, the rest. Nothing otherwise.
std::optional<ast::Expr> rewrite_missing_outer_fence_with_middle(ast::Expr& body);

// The size words that vanish in front of a delimiter: big, Big, bigg, Bigg
// and their l and r forms.
bool ignored_delimiter_size_command(std::string_view name);
// The tree of a size word, the parser standing after its name.
Result<ast::Expr> parse_delimiter_size_command(Parser& p, std::string_view name);
// Skips whitespace and a size word (any of the sixteen, the m forms included)
// that follows; returns its name, or nothing when none follows.
std::optional<std::string_view> consume_optional_ignored_delimiter_size_command(Parser& p);

// The handlers of \left and \middle.
Result<ast::Expr> left_group_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> middle_delimiter_command(Parser& p, const NamedCommand& command);

}  // namespace quorvix::parser
