// \mbox and \hbox: a text box. Plain words are scanned in text mode; a box
// built around a reference (\mbox{\eqref{x}}) keeps the command and the
// reference raw and shows the label; anything else is parsed as math. When
// that math holds a row break kept raw, the box command stays raw in front
// of it, so that the break reads back inside its box.
#include <string>
#include <utility>
#include <vector>

#include "common/small_stack.h"
#include "parser/chars.h"
#include "parser/helpers.h"
#include "parser/parser.h"
#include "parser/text_mode/arguments.h"
#include "parser/text_mode/content.h"
#include "parser/text_mode/text_commands.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

// Non-empty and free of the characters that make a box's content more than
// words: ^ _ $ & \ { }.
bool simple_text_box_group(std::u32string_view text) {
  return !text.empty() && text.find_first_of(U"^_$&\\{}") == std::u32string_view::npos;
}

// The end of the `{` group at `open` in `text`, braces counted; npos when
// unclosed.
std::size_t group_close(std::u32string_view text, std::size_t open) {
  std::size_t depth = 0;
  for (std::size_t i = open; i < text.size(); ++i) {
    if (text[i] == U'{') {
      ++depth;
    } else if (text[i] == U'}' && --depth == 0) {
      return i;
    }
  }
  return std::u32string_view::npos;
}

// True when the tree holds a row break kept raw: "\\\\" in a RawTex or a
// hybrid Raw part, looking through Sequences and DefaultColor, Group, Style,
// Font and Color bodies.
bool expr_contains_raw_double_backslash(const Expr& expr) {
  SmallStack<const Expr*> work(&expr);
  while (!work.empty()) {
    const Expr* e = work.pop();
    if (const auto* raw = e->get_if<ast::RawTex>()) {
      if (raw->text.find("\\\\") != std::string::npos) return true;
    } else if (const auto* hybrid = e->get_if<ast::Hybrid>()) {
      for (const ast::HybridPart& part : hybrid->parts)
        if (const auto* r = std::get_if<ast::HybridRaw>(&part);
            r && r->text.find("\\\\") != std::string::npos)
          return true;
    } else if (const auto* seq = e->get_if<ast::Sequence>()) {
      for (const Expr& item : seq->items) work.push(&item);
    } else if (const auto* d = e->get_if<ast::DefaultColor>()) {
      work.push(d->body.get());
    } else if (const auto* g = e->get_if<ast::Group>()) {
      work.push(g->body.get());
    } else if (const auto* st = e->get_if<ast::Style>()) {
      work.push(st->body.get());
    } else if (const auto* f = e->get_if<ast::Font>()) {
      work.push(f->body.get());
    } else if (const auto* c = e->get_if<ast::Color>()) {
      work.push(c->body.get());
    }
  }
  return false;
}

// \eqref{label} or \ref{label} alone in the box (whitespace around): the
// command, the leading whitespace and the reference stay raw, the label is
// shown. `applies` is false when the content has another form or the label
// is the failure marker.
[[gnu::noinline]] Result<Expr> text_box_ref_like_fallback(Parser& p, std::string_view box, TextSpan span,
                                                          bool& applies) {
  applies = false;
  const std::u32string_view content = p.chars().substr(span.begin, span.end - span.begin);
  std::size_t rest = 0;
  while (rest < content.size() && is_whitespace(content[rest])) ++rest;
  for (const std::u32string_view reference : {std::u32string_view(U"eqref"), std::u32string_view(U"ref")}) {
    const std::size_t open = rest + 1 + reference.size();
    if (content.size() <= open || content[rest] != U'\\' ||
        content.substr(rest + 1, reference.size()) != reference || content[open] != U'{')
      continue;
    const std::size_t close = group_close(content, open);
    if (close == std::u32string_view::npos) continue;
    bool only_space_after = true;
    for (std::size_t i = close + 1; i < content.size() && only_space_after; ++i)
      only_space_after = is_whitespace(content[i]);
    if (!only_space_after) continue;
    Result<Expr> label = p.parse_text_range(span.begin + open + 1, span.begin + close);
    if (!label.ok()) {
      applies = true;
      return label;
    }
    if (ast::is_translation_failed_marker(label.value())) continue;
    std::string raw = "\\";
    raw += box;
    raw += encode_utf8(content.substr(0, rest));
    raw += '\\';
    raw += encode_utf8(reference);
    ExprList parts;
    parts.push_back(std::move(label.value()));
    applies = true;
    return ast::collapse_single_sequence(raw_prefix_sequence_with_raw(std::move(raw), std::move(parts)));
  }
  return Expr();
}

[[gnu::noinline]] Result<Expr> box_content(Parser& p, std::string_view box, TextSpan span) {
  const std::u32string_view content = p.chars().substr(span.begin, span.end - span.begin);
  if (simple_text_box_group(content)) return parse_content(p, content);
  bool applies = false;
  Result<Expr> reference = text_box_ref_like_fallback(p, box, span, applies);
  if (applies) return reference;
  Result<Expr> math = p.parse_text_range(span.begin, span.end);
  if (math.ok() && expr_contains_raw_double_backslash(math.value()))
    math.value() = raw_prefix_expr(box, std::move(math.value()));
  return math;
}

}  // namespace

Result<Expr> text_box_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  Result<TextSpan> span = read_raw_group_span(p, "text box content");
  if (!span.ok()) {
    // Without its group the box stays raw TeX; what follows is ordinary input.
    p.set_pos(after_name);
    return raw_command_expr(command.name);
  }
  return box_content(p, command.name, span.value());
}

}  // namespace quorvix::parser
