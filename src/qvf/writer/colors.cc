#include "qvf/writer/colors.h"

#include <string>

#include "qvf/stream/records.h"
#include "qvf/tables/chars.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/predicates.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

// A Text-level Style whose body has its own text-style form that opens with
// its own colour.
bool text_style_sets_own_color(const Style& st) {
  const Expr& b = collapse_single_expr(required(st.body));
  if (b.is<Fraction>()) return true;
  if (const auto* op = b.get_if<BigOperator>()) return !op->body && (op->lower || op->upper);
  if (const auto* in = b.get_if<Integral>()) return !in->body && in->nolimits;
  if (const auto* bin = b.get_if<Binomial>()) return bin->kind != BinomialKind::Pile;
  return false;
}

}  // namespace

std::uint8_t write_named_color_selector(std::string_view name, const ColorDef& def, Bytes& out,
                                        QvfWriter& writer) {
  ColourState& colours = writer.colours;
  for (const auto& [known, known_index] : colours.colour_map)
    if (known == name) return known_index;
  out.insert(out.end(), def.begin(), def.end());
  const bool one_free = take(writer.tree_start.colour_index_one_free);
  std::uint8_t index = colours.next_colour_index;
  if (index == 1) index = one_free ? 1 : 2;
  colours.next_colour_index = index == 255 ? 255 : static_cast<std::uint8_t>(index + 1);
  colours.colour_map.emplace_back(std::string(name), index);
  return index;
}

void ensure_black_color_def(Bytes& out, QvfWriter& writer) {
  if (writer.colours.black_defined) return;
  out.insert(out.end(), std::begin(kBlackColorDef), std::end(kBlackColorDef));
  writer.colours.black_defined = true;
}

void select_black(Bytes& out, QvfWriter& writer) {
  ensure_black_color_def(out, writer);
  color_black(out);
  writer.colours.note_colour_one();
}

void select_black_without_def(Bytes& out, QvfWriter& writer) {
  color_black(out);
  writer.colours.note_colour_one();
}

void write_color_index(std::uint8_t index, Bytes& out) {
  out.push_back(tag::kColor);
  if (!write_unsigned(index, out).ok()) internal_failure("internal error: colour index not representable");
}

bool expr_sets_own_color(const Expr& expr) {
  const Expr* cur = &expr;
  for (;;) {
    const Expr& n = descend(*cur, through::kSequence | through::kHybrid);
    if (const auto* st = n.get_if<Style>()) {
      if (st->style == StyleKind::Text) return text_style_sets_own_color(*st);
      cur = &required(st->body);
      continue;
    }
    if (n.is<DefaultColor>() || n.is<RawTex>() || n.is<Color>() || n.is<Subarray>()) return true;
    if (const auto* h = n.get_if<Hybrid>())
      return !h->parts.empty() && std::holds_alternative<HybridRaw>(h->parts.front());
    if (const auto* bin = n.get_if<Binomial>()) return bin->kind == BinomialKind::Binom;
    return false;
  }
}

RawVisibleSplit split_leading_raw_visible_tail(const Expr& expr) {
  // Walk down first items that are sequences until one starts with raw TeX.
  std::vector<const Sequence*> outer;
  const Sequence* seq = expr.get_if<Sequence>();
  while (seq != nullptr && !seq->items.empty()) {
    const Expr& first = seq->items.front();
    if (first.is<RawTex>()) break;
    const Sequence* inner = first.get_if<Sequence>();
    if (inner == nullptr) return {};
    outer.push_back(seq);
    seq = inner;
  }
  if (seq == nullptr || seq->items.size() < 2 || !seq->items.front().is<RawTex>()) return {};
  RawVisibleSplit split;
  split.raw = &seq->items.front();
  for (std::size_t i = 1; i < seq->items.size(); ++i) split.tail.push_back(&seq->items[i]);
  // Going outwards, the rest so far becomes the first item of the enclosing
  // sequence's rest.
  for (auto it = outer.rbegin(); it != outer.rend(); ++it) {
    const Sequence& enclosing = **it;
    if (enclosing.items.size() < 2) continue;
    if (split.tail.size() > 1) {
      ExprList items;
      items.reserve(split.tail.size());
      for (const Expr* item : split.tail)
        items.push_back(item == split.built.get() ? std::move(*split.built) : Expr(*item));
      split.built = std::make_unique<Expr>(make_sequence(std::move(items)));
      split.tail.assign(1, split.built.get());
    }
    for (std::size_t i = 1; i < enclosing.items.size(); ++i) split.tail.push_back(&enclosing.items[i]);
  }
  return split;
}

WriteResult write_color(const Color& color, Bytes& out, SizeLevel size, QvfWriter& writer) {
  const Expr& body = required(color.body);
  if (color.name == "black") {
    select_black(out, writer);
    return write_expr(body, out, size, writer);
  }
  const ColorDef* def = named_color_def(color.name);
  if (def == nullptr) return write_expr(body, out, size, writer);

  RawVisibleSplit split = split_leading_raw_visible_tail(body);
  if (split.raw != nullptr) QV_RETURN_IF_ERROR(write_expr(*split.raw, out, size, writer));
  std::uint8_t index = write_named_color_selector(color.name, *def, out, writer);
  write_color_index(index, out);
  writer.colours.named_colour_active = true;
  writer.colours.named_colour_index = index;

  WriteResult rest =
      split.raw == nullptr ? write_expr(body, out, size, writer)
      : split.tail.size() == 1
          ? write_expr(*split.tail.front(), out, size, writer)
          : write_sequence_items(ItemList(std::span<const Expr* const>(split.tail)), out, size, writer);
  if (!rest.ok()) return rest;
  return WriteOutcome{false, rest->size_after};
}

}  // namespace quorvix::qvf
