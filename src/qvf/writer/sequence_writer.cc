// The sequence writer: items in order, with the size, colour and symbol-size
// records that go between them.
#include <cstddef>
#include <vector>

#include "qvf/stream/records.h"
#include "qvf/tables/chars.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/predicates.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

bool is_char(const Expr& e, char32_t c) {
  const auto* ch = e.get_if<Char>();
  return ch != nullptr && ch->ch == c;
}

bool is_space_width(const Expr& e, std::uint8_t w) {
  const auto* sp = e.get_if<Space>();
  return sp != nullptr && sp->width == w;
}

bool is_raw(const Expr& e) { return e.is<RawTex>(); }

bool is_sized_delimiter_or_group(const Expr& e) { return e.is<SizedDelimiter>() || e.is<Group>(); }

bool is_big_glyph(const Expr& e) { return e.is<BigSymbol>() || e.is<BigOperatorSymbol>(); }

bool is_coloured_not_black(const Expr& e) {
  const auto* c = e.get_if<Color>();
  return c != nullptr && c->name != "black";
}

// An item that counts as content before a raw TeX piece.
bool is_substantial(const Expr& e) {
  if (e.is<RawTex>() || e.is<Space>()) return false;
  const auto* s = e.get_if<Sequence>();
  return s == nullptr || !s->items.empty();
}

bool is_accent_template(const Expr& e) {
  const auto* a = descend(e, through::kSequence | through::kStyle).get_if<Accent>();
  return a != nullptr &&
         (a->accent == AccentKind::Acute || a->accent == AccentKind::Grave || a->accent == AccentKind::Check);
}

// `\bmod` at script size: [Space 5, "mod", Space 2].
bool is_script_mod_spacing(const Expr& e) {
  const auto* s = e.get_if<Sequence>();
  if (s == nullptr || s->items.size() != 3) return false;
  const auto* f = s->items[1].get_if<FunctionName>();
  return is_space_width(s->items[0], 5) && f != nullptr && f->name == "mod" && is_space_width(s->items[2], 2);
}

// The same spacing with narrower spaces, as written at script size.
[[gnu::noinline]] const Expr& narrow_mod_spacing() {
  static const Expr kNarrow = make_sequence(
      {Expr(Space{4}), Expr(Space{4}), Expr(Space{4}), Expr(FunctionName{"mod"}), Expr(Space{2})});
  return kNarrow;
}

// Whether black is wanted in front of an item that has no colour in force.
bool item_wants_black(const Expr& item) {
  const bool colourless = any_on_path(item, through::kUsual, [](const Expr& n) {
    if (const auto* f = n.get_if<Font>())
      return f->font == FontKind::TypewriterText || f->font == FontKind::MathSf;
    if (const auto* st = n.get_if<Style>(); st && st->body)
      return (st->style == StyleKind::Script || st->style == StyleKind::ScriptScript) &&
             !leading_space_rest(*st->body).spaces.empty();
    return false;
  });
  if (colourless || expr_starts_with_empty_base_superscript(item)) return false;
  return !expr_sets_own_color(item);
}

// The item being prepared and its neighbour before it, looked up once.
struct SequenceState {
  const Expr& item;
  const Expr* prev;      // null for the first item
  bool item_starts_raw;  // the current item starts with raw TeX
  Bytes& out;
  QvfWriter& w;
};

// Raw TeX right after a named colour returns to the default colour.
bool reset_after_named_colour(const SequenceState& st) {
  if (st.prev == nullptr || !is_coloured_not_black(*st.prev) || !st.item_starts_raw) return false;
  color_default(st.out);
  return true;
}

// COLOR 0 in front of constructs whose slots start in the default colour.
// With `full` false (no colour in force and none written in front of the
// item) only the return to the default colour after a named colour applies.
void write_default_colour_resets(const SequenceState& st, bool full) {
  const Expr& item = st.item;
  if (!full) {
    reset_after_named_colour(st);
    return;
  }
  // The node reached through sequences and styles, which several of the
  // tests below look at.
  const Expr& lead = descend(item, through::kSequence | through::kStyle);
  const auto* script = descend(item, through::kUsual).get_if<Script>();
  if ((script != nullptr && script->base && script->base->is<BigOperatorSymbol>()) ||
      is_bodyless_limited_operator(lead)) {
    color_default(st.out);
    reset_after_named_colour(st);
    return;
  }
  if (st.prev != nullptr) {
    const Expr& lim = descend(item, through::kUsual | through::kDefaultColor);
    if (lim.is<Limit>() || lim.is<MathOp>()) {
      color_default(st.out);
      reset_after_named_colour(st);
      return;
    }
    if (reset_after_named_colour(st)) return;
    if (!st.item_starts_raw) {
      const auto* bin = lead.get_if<Binomial>();
      if (bin != nullptr && bin->kind == BinomialKind::Binom) {
        color_default(st.out);
        return;
      }
      if (bin != nullptr && bin->kind == BinomialKind::Choose) st.w.marks.binomial_colour_written = true;
    }
    if (expr_starts_with_top_matrix(item) && contains_raw_tex(*st.prev)) {
      color_default(st.out);
      return;
    }
    if (expr_starts_with_environment_fallback(lead)) return;
  }
  // An explicit accent template resets the colour, except when it opens the
  // sequence: for the first item the sequence starts with the same accent.
  if (st.prev != nullptr && is_accent_template(lead)) color_default(st.out);
}

// The size record, or the shared-SYM mark, that `item` leaves for the item
// `following` it in a sequence of size level `s`.
void write_after_item(const Expr& item, const Expr& following, SizeLevel s, SizeLevel& c, Bytes& out,
                      QvfWriter& w) {
  if (is_sized_delimiter_or_group(item)) {
    if (is_sized_delimiter_or_group(following)) {
      w.marks.leading_sym_written = true;
    } else {
      write_size_record(s, out);
      c = s;
    }
    return;
  }
  if (is_big_glyph(item)) {
    const auto* raw = following.get_if<RawTex>();
    if (raw != nullptr && (raw->text == "^" || raw->text == "_")) {
      write_size_record(s, out);
      c = s;
    }
    return;
  }
  if (const auto* style = item.get_if<Style>(); style && style->style == StyleKind::Display && style->body &&
                                                collapse_single_expr(*style->body).is<Fraction>()) {
    if (is_char(following, U',') || is_char(following, U'.') || is_char(following, U':') ||
        is_char(following, U';')) {
      write_size_record(s, out);
      c = s;
    }
  }
}

// A character followed by primes: one CHAR with the primes as embellishments.
[[gnu::noinline]] WriteResult write_primed(const Expr& item, std::size_t primes, Bytes& out, SizeLevel size,
                                           QvfWriter& w) {
  const std::vector<std::uint8_t> codes = prime_embellishment_codes(primes);
  if (const auto* cs = item.get_if<CommandSymbol>()) {
    QV_RETURN_IF_ERROR(write_command_symbol_with_embellishments(cs->name, cs->ch, codes, out, w));
  } else {
    QV_ASSIGN_OR_RETURN(CharStyle style, resolve_char_style(item.as<Char>().ch));
    write_styled_table_char_with_embellishments(style.typeface, style.code, style.has_position,
                                                style.position, style.font_selector, codes, out, w);
  }
  return WriteOutcome{true, size};
}

// The running state of one sequence. The recursive write of each item
// happens in write_sequence_items itself, whose frame stays small: the work
// before and after an item is done in the helpers below.
struct SequenceRun {
  ItemList items;
  SizeLevel s;                    // the sequence's size level
  SizeLevel c;                    // the size level currently selected
  bool flag;                      // black is in force
  bool first_opened;              // the first item writes its own colour
  std::size_t first_substantial;  // index of the first item that is content
  // Whether the item at raw_known_for starts with raw TeX: each item is asked
  // about as the next one and again as the current one.
  std::size_t raw_known_for = static_cast<std::size_t>(-1);
  bool raw_known = false;
};

// What the preparation decided for one item.
struct ItemPlan {
  bool done = false;         // written already (a space without colour)
  bool mod_spacing = false;  // written with narrower spaces
  std::size_t primes = 0;    // following primes written as embellishments
  ItemFlags flags;           // the item flags while the item is written
};

[[gnu::noinline]] SequenceRun start_sequence(const ItemList& items, SizeLevel s, QvfWriter& w) {
  SequenceRun run{items, s, s, true, false, items.size(), static_cast<std::size_t>(-1), false};
  if (take(w.line.sequence_skips_colour)) {
    run.flag = false;
    run.first_opened = true;
  } else if (w.line.line_opens_itself && !items.empty() && expr_starts_with_line_layout_object(items[0])) {
    run.flag = false;
    run.first_opened = true;
  }
  return run;
}

// Everything written in front of item i (size, symbol-size and colour
// records), the marks it leaves for its writer, and how it is to be written.
[[gnu::noinline]] ItemPlan prepare_item(SequenceRun& run, std::size_t i, Bytes& out, QvfWriter& w) {
  const ItemList& items = run.items;
  const std::size_t n = items.size();
  const SizeLevel s = run.s;
  const Expr& item = items[i];
  const Expr* const prev = i > 0 ? &items[i - 1] : nullptr;
  const bool item_raw = run.raw_known_for == i ? run.raw_known : expr_starts_with_raw_tex(item);
  const bool next_raw = i + 1 < n && expr_starts_with_raw_tex(items[i + 1]);
  run.raw_known_for = i + 1;
  run.raw_known = next_raw;
  const bool prev_raw = prev != nullptr && is_raw(*prev);
  ItemPlan plan;
  if (run.first_substantial == n && is_substantial(item)) run.first_substantial = i;
  plan.mod_spacing = s == SizeLevel::Subscript && is_script_mod_spacing(item);

  // A named colour lasts across raw TeX only.
  if (prev != nullptr && !prev_raw && !(item_raw && is_coloured_not_black(*prev)))
    w.colours.named_colour_active = false;

  // Back to the sequence's size.
  if (run.c != s && !item.is<IntegralSign>()) {
    define_leading_calvane_math_font(item, out, w);
    write_size_record(s, out);
    run.c = s;
  }

  // A space with no colour in force, or after another space, goes without colour.
  if (item.is<Space>() && (!run.flag || (prev != nullptr && prev->is<Space>()))) {
    write_space_without_color(item.as<Space>().width, out);
    run.flag = false;
    plan.done = true;
    return plan;
  }

  // The opened first item writes its own colour.
  const bool opened = run.first_opened && i == 0;
  // A character or a command's symbol is none of the constructs that the
  // colour tests below look for: it sets no colour of its own, and no reset
  // goes in front of it.
  const bool plain_symbol = item.is<Char>() || item.is<CommandSymbol>();
  // A raw TeX piece counts as setting its own colour, so it never wants
  // black, and of the resets only the one after a named colour applies.
  const bool raw_piece = is_raw(item);
  const bool wants_black = !run.flag && !opened && !raw_piece && (plain_symbol || item_wants_black(item));

  // Symbol size: a big glyph after \left, and each sized delimiter or group
  // unless one SYM is already in force for it.
  if (prev_raw && prev->as<RawTex>().text.starts_with("\\left") &&
      is_big_glyph(descend(item, through::kSequence | through::kGroup | through::kStyle)))
    out.push_back(tag::kSym);
  if (is_sized_delimiter_or_group(item) && !take(w.marks.leading_sym_written)) out.push_back(tag::kSym);

  // The colour in front of the item: a named colour resumed after raw TeX,
  // else black.
  if (wants_black) {
    const Expr& before = prev != nullptr ? *prev : item;
    if (is_raw(before) && take(w.colours.named_colour_active)) {
      write_color_index(w.colours.named_colour_index, out);
    } else {
      define_leading_calvane_font(item, out, w);
      // After raw TeX that follows earlier content, black is already defined.
      if (i >= 2 && prev_raw && run.first_substantial < i - 1)
        select_black_without_def(out, w);
      else
        select_black(out, w);
    }
  }

  if (raw_piece)
    reset_after_named_colour(SequenceState{item, prev, item_raw, out, w});
  else if (!plain_symbol)
    write_default_colour_resets(SequenceState{item, prev, item_raw, out, w}, wants_black || run.flag);

  // Marks for the item's writer; a raw piece leaves none.
  if (opened && descend(item, through::kSequence | through::kHybrid).is<Style>())
    w.line.sequence_skips_colour = true;
  if (next_raw && !plain_symbol && !raw_piece) {
    if (expr_ends_with_limit_like_template(item)) w.marks.limit_before_raw = true;
    const auto* in = collapse_single_expr(item).get_if<Integral>();
    if (in != nullptr && !in->body && in->nolimits) w.marks.integral_before_raw = true;
  }
  plan.flags = ItemFlags{prev != nullptr, prev_raw};

  // Primes right after a character become its embellishments.
  if (plain_symbol)
    while (i + 1 + plan.primes < n && is_char(items[i + 1 + plan.primes], U'\'')) ++plan.primes;
  return plan;
}

// What is written after item i, before the next item.
[[gnu::noinline]] void finish_item(SequenceRun& run, std::size_t i, const ItemPlan& plan, Bytes& out,
                                   QvfWriter& w) {
  const std::size_t next = i + 1 + plan.primes;
  if (next < run.items.size()) write_after_item(run.items[i], run.items[next], run.s, run.c, out, w);
}

}  // namespace

WriteResult write_sequence_items(ItemList items, Bytes& out, SizeLevel s, QvfWriter& w) {
  SequenceRun run = start_sequence(items, s, w);
  ItemPlan plan;
  for (std::size_t i = 0; i < items.size();) {
    plan = prepare_item(run, i, out, w);
    if (plan.done) {
      ++i;
      continue;
    }
    const ScopedValue<ItemFlags> item_scope(w.item, plan.flags);
    const Expr& item = plan.mod_spacing ? narrow_mod_spacing() : items[i];
    WriteResult r =
        plan.primes > 0 ? write_primed(item, plan.primes, out, run.c, w) : write_expr(item, out, run.c, w);
    if (!r.ok()) return r;
    run.flag = r->black_in_force;
    run.c = r->size_after;
    finish_item(run, i, plan, out, w);
    i += 1 + plan.primes;
  }
  return WriteOutcome{run.flag, run.c};
}

}  // namespace quorvix::qvf
