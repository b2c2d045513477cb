#include "parser/helpers.h"

#include <utility>

#include "common/small_stack.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

std::string backslash_name(std::string_view name) {
  std::string raw = "\\";
  raw += name;
  return raw;
}

Expr raw_command_expr(std::string_view name) { return ast::make_raw(backslash_name(name)); }

namespace {

// The body of the wrappers that with_leading_raw_space looks through.
ast::Box* wrapper_body(Expr& e) {
  if (auto* n = e.get_if<ast::DefaultColor>()) return &n->body;
  if (auto* n = e.get_if<ast::Group>()) return &n->body;
  if (auto* n = e.get_if<ast::Color>()) return &n->body;
  if (auto* n = e.get_if<ast::Style>()) return &n->body;
  if (auto* n = e.get_if<ast::Font>()) return &n->body;
  return nullptr;
}

}  // namespace

Expr raw_prefix_expr(std::string_view name, Expr expr) {
  ExprList items;
  items.push_back(ast::make_raw(backslash_name(name)));
  push_visible_items(items, std::move(expr));
  return ast::make_sequence(std::move(items));
}

Expr raw_prefix_sequence(std::string_view name, ExprList exprs) {
  return raw_prefix_sequence_with_raw(backslash_name(name), std::move(exprs));
}

Expr raw_prefix_sequence_with_raw(std::string raw, ExprList exprs) {
  ExprList items;
  items.push_back(ast::make_raw(std::move(raw)));
  for (Expr& e : exprs) push_visible_items(items, std::move(e));
  return ast::make_sequence(std::move(items));
}

void push_visible_items(ExprList& items, Expr&& expr) {
  if (auto* seq = expr.get_if<ast::Sequence>()) {
    for (Expr& item : seq->items) items.push_back(std::move(item));
  } else {
    items.push_back(std::move(expr));
  }
}

Expr with_leading_raw_space(Expr expr, std::string_view whitespace) {
  add_leading_raw_space(expr, whitespace);
  return expr;
}

void add_leading_raw_space(Expr& expr, std::string_view whitespace) {
  if (whitespace.empty()) return;
  Expr* cur = &expr;
  for (;;) {
    if (auto* raw = cur->get_if<ast::RawTex>()) {
      raw->text.insert(0, whitespace);
      break;
    }
    if (auto* hybrid = cur->get_if<ast::Hybrid>()) {
      if (!hybrid->parts.empty())
        if (auto* first = std::get_if<ast::HybridRaw>(&hybrid->parts.front()))
          first->text.insert(0, whitespace);
      break;
    }
    if (auto* seq = cur->get_if<ast::Sequence>()) {
      if (seq->items.empty()) break;
      cur = &seq->items.front();
      continue;
    }
    ast::Box* body = wrapper_body(*cur);
    if (body == nullptr || !*body) break;
    cur = body->get();
  }
}

void append_hybrid_raw(std::vector<ast::HybridPart>& parts, std::string_view text) {
  if (!parts.empty())
    if (auto* last = std::get_if<ast::HybridRaw>(&parts.back())) {
      last->text += text;
      return;
    }
  parts.emplace_back(ast::HybridRaw{std::string(text)});
}

void append_hybrid_line(std::vector<ast::HybridPart>& parts, Expr expr) {
  Expr line = ast::collapse_single_sequence(std::move(expr));
  if (const auto* seq = line.get_if<ast::Sequence>(); seq && seq->items.empty()) return;
  parts.emplace_back(ast::HybridVisible{ast::box(std::move(line))});
}

void append_expr_as_hybrid(std::vector<ast::HybridPart>& parts, Expr expr) {
  if (auto* raw = expr.get_if<ast::RawTex>()) {
    append_hybrid_raw(parts, raw->text);
    return;
  }
  if (auto* hybrid = expr.get_if<ast::Hybrid>()) {
    for (auto& part : hybrid->parts) parts.push_back(std::move(part));
    return;
  }
  auto* seq = expr.get_if<ast::Sequence>();
  if (seq == nullptr) {
    append_hybrid_line(parts, std::move(expr));
    return;
  }
  ExprList pending;
  auto flush = [&] {
    if (pending.empty()) return;
    append_hybrid_line(parts, ast::make_sequence(std::move(pending)));
    pending.clear();
  };
  for (Expr& item : seq->items) {
    if (auto* raw = item.get_if<ast::RawTex>()) {
      flush();
      append_hybrid_raw(parts, raw->text);
    } else if (auto* hybrid = item.get_if<ast::Hybrid>()) {
      flush();
      for (auto& part : hybrid->parts) parts.push_back(std::move(part));
    } else {
      pending.push_back(std::move(item));
    }
  }
  flush();
}

Expr merge_adjacent_raw_tex(Expr expr) {
  // Each Sequence is merged before its items are visited; merging only
  // joins leaves, so the order of the walk does not matter.
  SmallStack<Expr*> work(&expr);
  while (!work.empty()) {
    Expr* e = work.pop();
    if (auto* seq = e->get_if<ast::Sequence>()) {
      ExprList& items = seq->items;
      std::size_t out = 0;
      for (std::size_t i = 0; i < items.size(); ++i) {
        if (out > 0 && items[out - 1].is<ast::RawTex>() && items[i].is<ast::RawTex>()) {
          // A run of raw pieces: the first takes the text of all of them,
          // its memory grown once.
          std::string& text = items[out - 1].as<ast::RawTex>().text;
          std::size_t end = i;
          std::size_t size = text.size();
          for (; end < items.size() && items[end].is<ast::RawTex>(); ++end)
            size += items[end].as<ast::RawTex>().text.size();
          text.reserve(size);
          for (; i < end; ++i) text += items[i].as<ast::RawTex>().text;
          --i;
          continue;
        }
        if (out != i) items[out] = std::move(items[i]);
        ++out;
      }
      items.erase(items.begin() + static_cast<std::ptrdiff_t>(out), items.end());
    }
    // Characters and raw pieces, the bulk of a long flat text, hold nothing
    // to merge: the work list stays as small as the tree's inner nodes.
    ast::for_each_child(*e, [&](Expr& child) {
      if (!child.is<ast::Char>() && !child.is<ast::RawTex>()) work.push(&child);
    });
  }
  return expr;
}

// Kept out of line: it runs between the recursive calls of the body loops.
[[gnu::noinline]] bool take_body_atom(ast::ExprList& items, Result<ast::Expr>& atom, std::string_view ws) {
  if (!atom.ok()) return false;
  add_leading_raw_space(atom.value(), ws);
  if (ast::is_empty_sequence(atom.value())) return true;
  if (ast::is_translation_failed_marker(atom.value())) return false;
  if (items.capacity() == 0) items.reserve(4);
  items.push_back(std::move(atom.value()));
  return true;
}

}  // namespace quorvix::parser
