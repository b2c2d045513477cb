#include "parser/group_braces.h"

#include <string>
#include <utility>

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

// The body of the wrappers both ends of the test look through.
const ast::Box* wrapper_body(const Expr& e) {
  if (const auto* n = e.get_if<ast::DefaultColor>()) return &n->body;
  if (const auto* n = e.get_if<ast::Group>()) return &n->body;
  if (const auto* n = e.get_if<ast::Style>()) return &n->body;
  if (const auto* n = e.get_if<ast::Font>()) return &n->body;
  if (const auto* n = e.get_if<ast::Color>()) return &n->body;
  return nullptr;
}

bool is_raw_text(const Expr& e, std::string_view text) {
  const auto* raw = e.get_if<ast::RawTex>();
  return raw != nullptr && raw->text == text;
}

// A [RawTex "\end", name] pair: the closing of an environment kept raw.
bool is_raw_end_pair(const Expr& e) {
  const auto* seq = e.get_if<ast::Sequence>();
  return seq != nullptr && seq->items.size() == 2 && is_raw_text(seq->items.front(), "\\end");
}

bool leading_end_is_raw(const Expr& expr) {
  const Expr* cur = &expr;
  bool through_sequence = false;
  for (;;) {
    if (const auto* seq = cur->get_if<ast::Sequence>()) {
      if (seq->items.empty()) return false;
      cur = &seq->items.front();
      through_sequence = true;
    } else if (const ast::Box* body = wrapper_body(*cur)) {
      if (!*body) return false;
      cur = body->get();
    } else if (const auto* hybrid = cur->get_if<ast::Hybrid>()) {
      return !hybrid->parts.empty() && std::holds_alternative<ast::HybridRaw>(hybrid->parts.front());
    } else {
      return through_sequence && is_raw_text(*cur, "\\begin");
    }
  }
}

bool trailing_end_is_raw(const Expr& expr) {
  const Expr* cur = &expr;
  bool last_of_sequence = false;
  for (;;) {
    if (const auto* seq = cur->get_if<ast::Sequence>()) {
      if (last_of_sequence && is_raw_end_pair(*cur)) return true;
      if (seq->items.empty()) return false;
      cur = &seq->items.back();
      last_of_sequence = true;
    } else if (const ast::Box* body = wrapper_body(*cur)) {
      if (!*body) return false;
      cur = body->get();
      last_of_sequence = false;
    } else if (const auto* raw = cur->get_if<ast::RawTex>()) {
      return raw->text == "\\end" || (!raw->text.empty() && raw->text.back() == '}');
    } else if (const auto* hybrid = cur->get_if<ast::Hybrid>()) {
      return !hybrid->parts.empty() && std::holds_alternative<ast::HybridRaw>(hybrid->parts.back());
    } else {
      return false;
    }
  }
}

}  // namespace

bool expr_keeps_outer_group_braces_raw(const Expr& expr) {
  return leading_end_is_raw(expr) && trailing_end_is_raw(expr);
}

void prepend_raw_group_shell(ast::Sequence& seq, std::string_view text) {
  ast::Sequence* cur = &seq;
  for (;;) {
    if (cur->items.empty()) {
      cur->items.push_back(ast::make_raw(std::string(text)));
      return;
    }
    Expr& first = cur->items.front();
    if (auto* raw = first.get_if<ast::RawTex>()) {
      raw->text.insert(0, text);
      return;
    }
    if (auto* hybrid = first.get_if<ast::Hybrid>();
        hybrid != nullptr && !hybrid->parts.empty() &&
        std::holds_alternative<ast::HybridRaw>(hybrid->parts.front())) {
      std::get<ast::HybridRaw>(hybrid->parts.front()).text.insert(0, text);
      return;
    }
    if (auto* inner = first.get_if<ast::Sequence>(); inner != nullptr && !inner->items.empty()) {
      cur = inner;
      continue;
    }
    cur->items.insert(cur->items.begin(), ast::make_raw(std::string(text)));
    return;
  }
}

void append_raw_group_shell(ast::Sequence& seq, std::string_view text) {
  ast::Sequence* cur = &seq;
  for (;;) {
    if (cur->items.empty() || is_raw_end_pair(cur->items.back())) {
      cur->items.push_back(ast::make_raw(std::string(text)));
      return;
    }
    Expr& last = cur->items.back();
    if (auto* raw = last.get_if<ast::RawTex>()) {
      raw->text += text;
      return;
    }
    if (auto* hybrid = last.get_if<ast::Hybrid>();
        hybrid != nullptr && !hybrid->parts.empty() &&
        std::holds_alternative<ast::HybridRaw>(hybrid->parts.back())) {
      std::get<ast::HybridRaw>(hybrid->parts.back()).text += text;
      return;
    }
    if (auto* inner = last.get_if<ast::Sequence>(); inner != nullptr && !inner->items.empty()) {
      cur = inner;
      continue;
    }
    cur->items.push_back(ast::make_raw(std::string(text)));
    return;
  }
}

Expr preserve_raw_group_braces(Expr&& expr) {
  if (!expr_keeps_outer_group_braces_raw(expr)) return std::move(expr);
  if (auto* raw = expr.get_if<ast::RawTex>()) {
    raw->text = "{" + raw->text + "}";
    return std::move(expr);
  }
  if (auto* seq = expr.get_if<ast::Sequence>()) {
    if (seq->items.empty()) {
      seq->items.push_back(ast::make_raw("{"));
      seq->items.push_back(ast::make_raw("}"));
      return std::move(expr);
    }
    prepend_raw_group_shell(*seq, "{");
    append_raw_group_shell(*seq, "}");
    return std::move(expr);
  }
  if (auto* hybrid = expr.get_if<ast::Hybrid>()) {
    hybrid->parts.insert(hybrid->parts.begin(), ast::HybridPart(ast::HybridRaw{"{"}));
    hybrid->parts.emplace_back(ast::HybridRaw{"}"});
    return std::move(expr);
  }
  ExprList items;
  items.push_back(ast::make_raw("{"));
  items.push_back(std::move(expr));
  items.push_back(ast::make_raw("}"));
  return ast::make_sequence(std::move(items));
}

}  // namespace quorvix::parser
