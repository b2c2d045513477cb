// \let\name=\target: the name becomes an alias of the target, looked up
// before the built-in commands. The alias holds the target as written (a
// control word, followed through an alias it already has; a control symbol;
// one character): a control word continues the dispatch, anything else is
// parsed on its own. The \let itself stays raw TeX as written.
#include <string>
#include <utility>

#include "parser/chars.h"
#include "parser/helpers.h"
#include "parser/macros/macros.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

// The control sequence at `at` (a backslash): its end.
std::size_t control_sequence_end(std::u32string_view chars, std::size_t at) {
  std::size_t end = at + 1;
  while (end < chars.size() && is_ascii_letter(chars[end])) ++end;
  if (end == at + 1 && end < chars.size()) ++end;
  return end;
}

// The target as TeX text; a control word already aliased is followed to
// what its alias names.
[[gnu::noinline]] std::string alias_target(const Parser& p, std::u32string_view target) {
  if (target.size() > 1 && target.front() == U'\\' && is_ascii_letter(target[1])) {
    if (const std::string* earlier = p.find_let_alias(encode_utf8(target.substr(1)))) return *earlier;
  }
  return encode_utf8(target);
}

}  // namespace

Result<Expr> let_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  const std::u32string_view chars = p.chars();
  p.skip_ws();
  if (p.peek() != U'\\') {
    p.set_pos(after_name);
    return raw_command_expr(command.name);
  }
  if (p.pos() + 1 >= chars.size()) return make_error("dangling backslash in let name");
  const std::size_t name_begin = p.pos() + 1;
  const std::size_t name_end = control_sequence_end(chars, p.pos());
  p.set_pos(name_end);
  p.skip_ws();
  if (p.peek() == U'=') {
    p.next_char();
    p.skip_ws();
  }
  std::size_t target_end = p.pos();
  if (!p.at_end()) target_end = p.peek() == U'\\' ? control_sequence_end(chars, p.pos()) : p.pos() + 1;
  const std::u32string_view target = chars.substr(p.pos(), target_end - p.pos());
  if (!target.empty() && target != U"\\") {
    std::string name = encode_utf8(chars.substr(name_begin, name_end - name_begin));
    p.remove_macro(name);  // the alias replaces a macro of the same name
    p.set_let_alias(std::move(name), alias_target(p, target));
  }
  p.set_pos(target_end);
  std::string raw = "\\let";
  raw += encode_utf8(chars.substr(after_name, target_end - after_name));
  return ast::make_raw(std::move(raw));
}

}  // namespace quorvix::parser
