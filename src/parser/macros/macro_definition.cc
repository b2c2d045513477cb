// \def and \gdef: the definition is recorded (name, replacement text and up
// to two parameters) so that later uses are kept raw with their arguments
// shown. The definition itself stays raw TeX: when its replacement
// translates without raw TeX, the raw pieces "\def\name#1{" and "}" enclose
// the translated replacement; otherwise the whole definition is one raw
// piece, as written.
#include <string>
#include <utility>
#include <vector>

#include "parser/chars.h"
#include "parser/helpers.h"
#include "parser/macros/macros.h"
#include "parser/parser.h"
#include "parser/text_mode/arguments.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

// What has been read of one definition.
struct Definition {
  std::string name;  // without backslash; empty when it cannot be recorded
  std::uint8_t parameters = 0;
  TextSpan replacement;
};

[[gnu::noinline]] Error parameter_marker_error(int digit) {
  return make_error("expected macro parameter marker #" + std::to_string(digit) + " after #");
}

// The name after \def: a control word, or a braced name (the malformed
// form, recorded only when it holds one control word).
[[gnu::noinline]] Result<std::string> read_defined_name(Parser& p) {
  p.skip_ws();
  const std::u32string_view chars = p.chars();
  if (p.peek() == U'{') {
    Result<TextSpan> braced = read_raw_group_span(p, "malformed macro name");
    if (!braced.ok()) return std::move(braced).error();
    const std::u32string_view text =
        chars.substr(braced.value().begin, braced.value().end - braced.value().begin);
    std::size_t letters = 1;
    while (letters < text.size() && is_ascii_letter(text[letters])) ++letters;
    if (text.size() > 1 && text.front() == U'\\' && letters == text.size())
      return encode_utf8(text.substr(1));
    return std::string();
  }
  if (p.peek() != U'\\') return make_error("expected macro control-word name");
  const std::size_t start = p.pos() + 1;
  std::size_t end = start;
  while (end < chars.size() && is_ascii_letter(chars[end])) ++end;
  if (end == start) return make_error("expected macro control-word name");
  p.set_pos(end);
  return encode_utf8(chars.substr(start, end - start));
}

// #1 or #1#2 after the name.
[[gnu::noinline]] Result<std::uint8_t> read_parameters(Parser& p) {
  std::uint8_t count = 0;
  for (;;) {
    p.skip_ws();
    if (p.peek() != U'#') return count;
    if (count == 2) return make_error("only up to two macro parameters are supported");
    const char32_t expected = count == 0 ? U'1' : U'2';
    if (p.peek(1) != expected) return parameter_marker_error(count + 1);
    p.set_pos(p.pos() + 2);
    ++count;
  }
}

[[gnu::noinline]] Result<Expr> consume_rest_as_failed(Parser& p) {
  p.set_pos(p.chars().size());
  return ast::make_translation_failed();
}

[[gnu::noinline]] Result<Expr> show_definition(Parser& p, std::string_view command, std::size_t after_name,
                                               const Definition& definition, bool recorded) {
  const std::u32string_view chars = p.chars();
  const TextSpan replacement = definition.replacement;
  std::string head = "\\";
  head += command;
  Result<Expr> translated = p.parse_text_range(replacement.begin, replacement.end, definition.name);
  if (!translated.ok()) return translated;
  if (recorded && !ast::contains_raw_tex(translated.value())) {
    head += encode_utf8(chars.substr(after_name, replacement.begin - after_name));  // up to the `{`
    ExprList parts;
    parts.push_back(std::move(translated.value()));
    parts.push_back(ast::make_raw("}"));
    return raw_prefix_sequence_with_raw(std::move(head), std::move(parts));
  }
  // render the definition raw, as written
  head += encode_utf8(chars.substr(after_name, replacement.end + 1 - after_name));
  return ast::make_raw(std::move(head));
}

}  // namespace

Result<Expr> macro_definition_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  Definition definition;
  const bool braced_name = [&] {
    p.skip_ws();
    return p.peek() == U'{';
  }();
  Result<std::string> name = read_defined_name(p);
  if (!name.ok()) return std::move(name).error();
  definition.name = std::move(name.value());
  Result<std::uint8_t> parameters = read_parameters(p);
  if (!parameters.ok()) return std::move(parameters).error();
  definition.parameters = parameters.value();
  p.skip_ws();
  if (p.peek() == U'[') return consume_rest_as_failed(p);
  Result<TextSpan> replacement = read_raw_group_span(p, "macro replacement");
  if (!replacement.ok()) return std::move(replacement).error();
  definition.replacement = replacement.value();
  Result<Expr> shown = show_definition(p, command.name, after_name, definition, !braced_name);
  if (shown.ok() && !definition.name.empty()) {
    const TextSpan r = definition.replacement;
    p.define_macro(definition.name, MacroDefinition{encode_utf8(p.chars().substr(r.begin, r.end - r.begin)),
                                                    definition.parameters});
  }
  return shown;
}

}  // namespace quorvix::parser
