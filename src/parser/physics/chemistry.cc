// \ce{...}: the argument is translated behind the raw command. A leading
// nuclide (\ce{^{14}_{6}C}, \ce{^14_6C}) keeps its script markers raw around
// the translated mass and atomic numbers, a compact atomic number (a plain
// run of letters and digits) as a subscript on an empty base.
#include <utility>

#include "parser/chars.h"
#include "parser/commands/named_commands.h"
#include "parser/commands/scripts.h"
#include "parser/helpers.h"
#include "parser/physics/physics.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

// A script token of the argument: the text translated for it and where the
// token ends.
struct ScriptToken {
  TextSpan text;
  std::size_t end = 0;
  bool braced = false;
};

// The end of the run of characters from `at` (before `limit`) that `keep` accepts.
template <class Keep>
std::size_t run_end(std::u32string_view chars, std::size_t at, std::size_t limit, Keep keep) {
  while (at < limit && keep(chars[at])) ++at;
  return at;
}

// A run of digits when one starts at `at`, else a run of letters and digits.
std::size_t digits_or_alnum_end(std::u32string_view chars, std::size_t at, std::size_t limit) {
  const std::size_t digits = run_end(chars, at, limit, is_ascii_digit);
  return digits > at ? digits : run_end(chars, at, limit, is_ascii_alnum);
}

// The script token at `at` inside the argument `arg`; nothing when none starts there.
std::optional<ScriptToken> parse_ce_script_token(Parser& p, TextSpan arg, std::size_t at) {
  const std::u32string_view chars = p.chars();
  if (at >= arg.end) return std::nullopt;
  const char32_t c = chars[at];
  if (c == U'{') {
    const std::optional<std::size_t> close = p.closing_brace(at);
    if (!close || *close >= arg.end) return std::nullopt;
    return ScriptToken{{at + 1, *close}, *close + 1, true};
  }
  const std::size_t run_start = (c == U'+' || c == U'-') ? at + 1 : at;
  const std::size_t end = digits_or_alnum_end(chars, run_start, arg.end);
  if (end == at) return std::nullopt;
  return ScriptToken{{at, end}, end, false};
}

[[gnu::noinline]] Status translate_into(Parser& p, TextSpan text, ExprList& items) {
  Result<Expr> translated = p.parse_text_range(text.begin, text.end);
  if (!translated.ok()) return std::move(translated).error();
  push_visible_items(items, std::move(translated.value()));
  return Status();
}

bool is_compact(const Parser& p, const ScriptToken& token) {
  if (token.braced) return false;
  for (std::size_t i = token.text.begin; i < token.text.end; ++i)
    if (!is_ascii_alnum(p.chars()[i])) return false;
  return true;
}

// A compact atomic number: its first character as a subscript on an empty
// base, the rest as it stands.
[[gnu::noinline]] Status split_compact_ce_subscript(Parser& p, TextSpan text, ExprList& items) {
  if (text.begin == text.end) return make_error("compact ce subscript token is empty");
  Result<Expr> first = p.parse_text_range(text.begin, text.begin + 1);
  if (!first.ok()) return std::move(first).error();
  items.push_back(empty_base_sub_script(ast::collapse_single_sequence(std::move(first.value()))));
  if (text.begin + 1 < text.end) return translate_into(p, {text.begin + 1, text.end}, items);
  return Status();
}

[[gnu::noinline]] Result<Expr> nuclide_expr(Parser& p, TextSpan arg, const ScriptToken& mass,
                                            const ScriptToken& number) {
  ExprList items;
  items.push_back(ast::make_raw("\\ce{^"));
  QV_RETURN_IF_ERROR(translate_into(p, mass.text, items));
  if (is_compact(p, number)) {
    QV_RETURN_IF_ERROR(split_compact_ce_subscript(p, number.text, items));
  } else {
    items.push_back(ast::make_raw("_"));
    QV_RETURN_IF_ERROR(translate_into(p, number.text, items));
  }
  QV_RETURN_IF_ERROR(translate_into(p, {number.end, arg.end}, items));
  items.push_back(ast::make_raw("}"));
  return ast::collapse_single_sequence(ast::make_sequence(std::move(items)));
}

// The mass and atomic numbers of a leading nuclide: `^`, a token, `_`, a token.
std::optional<std::pair<ScriptToken, ScriptToken>> leading_nuclide(Parser& p, TextSpan arg) {
  const std::u32string_view chars = p.chars();
  if (arg.begin >= arg.end || chars[arg.begin] != U'^') return std::nullopt;
  const std::optional<ScriptToken> mass = parse_ce_script_token(p, arg, arg.begin + 1);
  if (!mass || mass->end >= arg.end || chars[mass->end] != U'_') return std::nullopt;
  const std::optional<ScriptToken> number = parse_ce_script_token(p, arg, mass->end + 1);
  if (!number) return std::nullopt;
  return std::pair{*mass, *number};
}

[[gnu::noinline]] Result<Expr> prefixed_argument(Parser& p, TextSpan arg) {
  Result<Expr> translated = p.parse_text_range(arg.begin, arg.end);
  if (translated.ok()) translated.value() = raw_prefix_expr("ce", std::move(translated.value()));
  return translated;
}

}  // namespace

Result<Expr> chemistry_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_word = p.pos();
  Result<TextSpan> arg = read_raw_group_span(p, "ce content");
  if (!arg.ok()) {
    p.set_pos(after_word);
    return raw_command_expr(command.name);
  }
  if (const auto nuclide = leading_nuclide(p, *arg))
    return nuclide_expr(p, *arg, nuclide->first, nuclide->second);
  return prefixed_argument(p, *arg);
}

}  // namespace quorvix::parser
