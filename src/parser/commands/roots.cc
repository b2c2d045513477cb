// Radicals: \sqrt with an optional index, and the braced and bracketed
// forms of plain TeX's \root ... \of.
#include <string>
#include <utility>
#include <vector>

#include "parser/chars.h"
#include "parser/commands/template_handlers.h"
#include "parser/commands/templates.h"
#include "parser/helpers.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

// A closing delimiter the radicand reader kept raw: `)`, `]` or `}` alone
// (in \sqrt} the brace closes an enclosing group, not a radicand).
std::optional<char32_t> lone_closer(const Expr& radicand) {
  const Expr* e = &radicand;
  if (const auto* seq = e->get_if<ast::Sequence>(); seq && seq->items.size() == 1) e = &seq->items.front();
  const auto* raw = e->get_if<ast::RawTex>();
  if (raw == nullptr || raw->text.size() != 1) return std::nullopt;
  const char c = raw->text.front();
  if (c != ')' && c != ']' && c != '}') return std::nullopt;
  return static_cast<char32_t>(c);
}

// The radicand read without an index: replaces it in `slot` with the root.
[[gnu::noinline]] void finish_sqrt(Result<Expr>& slot) {
  if (!slot.ok()) return;
  if (const std::optional<char32_t> closer = lone_closer(slot.value())) {
    std::string raw = "\\sqrt";
    append_utf8(raw, *closer);
    slot = ast::make_raw(std::move(raw));
  } else {
    slot = Expr(ast::Sqrt{ast::box(std::move(slot.value()))});
  }
}

// The index read: reads the radicand and replaces the index in `slot` with
// the root.
[[gnu::noinline]] void build_root(Result<Expr>& slot, Result<Expr>& radicand) {
  if (!radicand.ok()) {
    slot = std::move(radicand);
    return;
  }
  slot = Expr(ast::Root{ast::box(std::move(slot.value())), ast::box(std::move(radicand.value()))});
}

[[gnu::noinline]] void finish_root(Parser& p, Result<Expr>& slot) {
  Result<Expr> radicand = p.parse_required_group_or_atom("square-root radicand");
  build_root(slot, radicand);
}

// The index (if any) and the radicand; a failure of either fails the whole.
// One result slot, filled in place: this sits on recursive paths.
[[gnu::noinline]] Result<Expr> parse_sqrt_arguments(Parser& p) {
  p.skip_ws();
  const bool indexed = p.peek() == U'[';
  if (indexed) p.next_char();
  Result<Expr> root =
      indexed ? p.parse_sequence(U']') : p.parse_required_group_or_atom("square-root radicand");
  if (!indexed)
    finish_sqrt(root);
  else if (root.ok())
    finish_root(p, root);
  return root;
}

[[gnu::noinline]] Result<Expr> raw_text(std::string_view text) { return ast::make_raw(std::string(text)); }

// What \root reads before its index is parsed.
struct RootForm {
  std::string prefix;      // raw: "\root", with "{" and the whitespace before it for the braced form
  std::string index_text;  // the text parsed as the index
  std::string before_of;   // raw: the index's trailing whitespace, a closing "}" taken from it, "\of"
  std::size_t after_of = 0;
};

bool is_ascii_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// \root{index \of radicand} or \root[index]\of radicand: nothing when the
// opener or the \of is missing.
[[gnu::noinline]] std::optional<RootForm> scan_root_form(Parser& p) {
  const std::string whitespace = p.consume_raw_whitespace();
  const std::optional<char32_t> opener = p.peek();
  if (opener != U'{' && opener != U'[') return std::nullopt;
  p.next_char();
  const std::optional<std::size_t> of = p.next_of_primitive(p.pos());
  if (!of) return std::nullopt;

  RootForm form;
  form.prefix = "\\root";
  std::string index = encode_utf8(p.chars().substr(p.pos(), *of - p.pos()));
  std::size_t end = index.size();
  while (end > 0 && is_ascii_space(index[end - 1])) --end;
  form.before_of = index.substr(end);
  index.resize(end);
  if (opener == U'{') {
    form.prefix += whitespace + "{";
  } else {
    if (!index.empty() && index.back() == '}') {
      index.pop_back();
      form.before_of += "}";
    }
    index.insert(index.begin(), '[');
  }
  form.before_of += "\\of";
  form.index_text = std::move(index);
  form.after_of = *of + 3;
  return form;
}

[[gnu::noinline]] Result<Expr> root_expr(RootForm& form, Result<Expr>& index, Result<Expr>& radicand) {
  if (!radicand.ok()) return std::move(radicand);
  ExprList items;
  items.push_back(ast::make_raw(std::move(form.prefix)));
  push_visible_items(items, std::move(index.value()));
  items.push_back(ast::make_raw(std::move(form.before_of)));
  push_visible_items(items, std::move(radicand.value()));
  return ast::collapse_single_sequence(ast::make_sequence(std::move(items)));
}

}  // namespace

Result<Expr> parse_sqrt_command(Parser& p) {
  // After a failure the text after \sqrt is read again as ordinary input.
  Result<Expr> sqrt = p.attempt_once(Construct::Root, [&] { return parse_sqrt_arguments(p); });
  if (!sqrt.ok() && !sqrt.error().fatal) sqrt = raw_text("\\sqrt");
  return sqrt;
}

Result<Expr> parse_malformed_root_command(Parser& p) {
  const std::size_t after_name = p.pos();
  std::optional<RootForm> form = scan_root_form(p);
  if (!form) {
    // Plain TeX's \root n\of x, or no \of at all: the command alone is raw.
    p.set_pos(after_name);
    return raw_text("\\root");
  }
  Result<Expr> index = p.parse_macro_replacement(form->index_text);
  if (!index.ok()) return index;
  p.set_pos(form->after_of);
  Result<Expr> radicand = p.parse_switch_content();
  return root_expr(*form, index, radicand);
}

}  // namespace quorvix::parser
