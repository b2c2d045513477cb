// The sequence writer: items in order, with the size, colour and symbol-size
// records that go between them.
#include <cstddef>
#include <vector>

#include "qvf/tables/chars.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/predicates.h"
#include "qvf/stream/records.h"
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

// Step 5: whether black is wanted in front of an item.
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

struct SequenceState {
  ItemList items;
  std::uint8_t s;  // the sequence's size level
  std::size_t i;   // current item
  Bytes& out;
  QvfWriter& w;

  const Expr& item() const { return items[i]; }
  const Expr& prev() const { return items[i - 1]; }
};

// Check (d): raw TeX right after a named colour returns to the default colour.
bool reset_after_named_colour(const SequenceState& st) {
  if (st.i == 0 || !is_coloured_not_black(st.prev()) || !expr_starts_with_raw_tex(st.item())) return false;
  color_default(st.out);
  return true;
}

// Step 8: COLOR 0 in front of constructs whose slots start in the default colour.
void write_default_colour_resets(const SequenceState& st, bool full) {
  const Expr& item = st.item();
  if (!full) {
    if (st.i > 0) reset_after_named_colour(st);
    return;
  }
  const auto* script = descend(item, through::kUsual).get_if<Script>();
  if ((script != nullptr && script->base && script->base->is<BigOperatorSymbol>()) ||
      is_bodyless_limited_operator(descend(item, through::kSequence | through::kStyle))) {
    color_default(st.out);
    if (st.i > 0) reset_after_named_colour(st);
    return;
  }
  if (st.i > 0) {
    const Expr& lim = descend(item, through::kUsual | through::kDefaultColor);
    if (lim.is<Limit>() || lim.is<MathOp>()) {
      color_default(st.out);
      reset_after_named_colour(st);
      return;
    }
    if (reset_after_named_colour(st)) return;
    if (!expr_starts_with_raw_tex(item)) {
      const auto* bin = descend(item, through::kSequence | through::kStyle).get_if<Binomial>();
      if (bin != nullptr && bin->kind == 2) {
        color_default(st.out);
        return;
      }
      if (expr_starts_with_parenthesized_pile(item)) st.w.binomial_colour_written = true;
    }
    if (expr_starts_with_top_matrix(item) && contains_raw_tex(st.prev())) {
      color_default(st.out);
      return;
    }
    if (expr_starts_with_environment_fallback(item)) return;
  }
  // (g) An explicit accent template resets the colour, except when it opens
  // the sequence: for the first item the sequence starts with the same accent.
  if (st.i > 0 && is_accent_template(item)) color_default(st.out);
}

// Step 11: size records after an item.
void write_after_item(const SequenceState& st, std::size_t next, std::uint8_t& c) {
  const Expr& item = st.item();
  if (next >= st.items.size()) return;
  const Expr& following = st.items[next];
  if (is_sized_delimiter_or_group(item)) {
    if (is_sized_delimiter_or_group(following)) {
      st.w.leading_sym_written = true;
    } else {
      write_size_record(st.s, st.out);
      c = st.s;
    }
    return;
  }
  if (is_big_glyph(item)) {
    const auto* raw = following.get_if<RawTex>();
    if (raw != nullptr && (raw->text == "^" || raw->text == "_")) {
      write_size_record(st.s, st.out);
      c = st.s;
    }
    return;
  }
  if (const auto* style = item.get_if<Style>(); style && style->style == StyleKind::Display && style->body &&
                                                collapse_single_expr(*style->body).is<Fraction>()) {
    if (is_char(following, U',') || is_char(following, U'.') || is_char(following, U':') ||
        is_char(following, U';')) {
      write_size_record(st.s, st.out);
      c = st.s;
    }
  }
}

// Step 10 for a character followed by primes: one CHAR with the primes as
// embellishments.
[[gnu::noinline]] WriteResult write_primed(const Expr& item, std::size_t primes, Bytes& out,
                                           std::uint8_t size, QvfWriter& w) {
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
  std::uint8_t s;                 // the sequence's size level
  std::uint8_t c;                 // the size level currently selected
  bool flag;                      // black is in force
  bool first_opened;              // the first item writes its own colour
  std::size_t first_substantial;  // index of the first item that is content
};

// What the preparation decided for one item.
struct ItemPlan {
  bool done = false;         // written already (a space without colour)
  bool mod_spacing = false;  // written with narrower spaces
  std::size_t primes = 0;    // following primes written as embellishments
  bool saved_after_item = false;
  bool saved_after_raw_item = false;
};

[[gnu::noinline]] SequenceRun start_sequence(const ItemList& items, std::uint8_t s, QvfWriter& w) {
  SequenceRun run{items, s, s, true, false, items.size()};
  if (w.sequence_skips_colour) {
    w.sequence_skips_colour = false;
    run.flag = false;
    run.first_opened = true;
  } else if (w.line_opens_itself && !items.empty() && expr_starts_with_line_layout_object(items[0])) {
    run.flag = false;
    run.first_opened = true;
  }
  return run;
}

// Steps 1 to 9 for item i, and the count of primes for step 10.
[[gnu::noinline]] ItemPlan prepare_item(SequenceRun& run, std::size_t i, Bytes& out, QvfWriter& w) {
  const ItemList& items = run.items;
  const std::size_t n = items.size();
  const std::uint8_t s = run.s;
  const SequenceState st{items, s, i, out, w};
  const Expr& item = items[i];
  ItemPlan plan;
  if (run.first_substantial == n && is_substantial(item)) run.first_substantial = i;
  plan.mod_spacing = s == 1 && is_script_mod_spacing(item);

  // Step 2: a named colour lasts across raw TeX only.
  if (i > 0 && !is_raw(st.prev()) && !(expr_starts_with_raw_tex(item) && is_coloured_not_black(st.prev())))
    w.named_colour_active = false;

  // Step 3: back to the sequence's size.
  if (run.c != s && !item.is<IntegralSign>()) {
    define_leading_calvane_math_font(item, out, w);
    write_size_record(s, out);
    run.c = s;
  }

  // Step 4: spaces without colour.
  if (item.is<Space>() && (!run.flag || (i > 0 && st.prev().is<Space>()))) {
    write_space_without_color(item.as<Space>().width, out);
    run.flag = false;
    plan.done = true;
    return plan;
  }

  // Step 5.
  const bool opened = run.first_opened && i == 0;
  const bool wants_black = !run.flag && !opened && item_wants_black(item);

  // Step 6: symbol size.
  if (i > 0 && is_raw(st.prev()) && st.prev().as<RawTex>().text.starts_with("\\left") &&
      is_big_glyph(descend(item, through::kSequence | through::kGroup | through::kStyle)))
    out.push_back(tag::kSym);
  if (is_sized_delimiter_or_group(item)) {
    if (w.leading_sym_written)
      w.leading_sym_written = false;
    else
      out.push_back(tag::kSym);
  }

  // Step 7: the colour in front of the item.
  if (wants_black) {
    const Expr& before = i == 0 ? item : st.prev();
    if (is_raw(before) && w.named_colour_active) {
      w.named_colour_active = false;
      write_color_index(w.named_colour_index, out);
    } else {
      define_leading_calvane_font(item, out, w);
      // After raw TeX that follows earlier content, black is already defined.
      if (i >= 2 && is_raw(st.prev()) && run.first_substantial < i - 1)
        select_black_without_def(out, w);
      else
        select_black(out, w);
    }
  }

  // Step 8.
  write_default_colour_resets(st, wants_black || run.flag);

  // Step 9: flags for the item.
  if (opened && descend(item, through::kSequence | through::kHybrid).is<Style>())
    w.sequence_skips_colour = true;
  if (i + 1 < n && expr_starts_with_raw_tex(items[i + 1])) {
    if (expr_ends_with_limit_like_template(item)) w.limit_before_raw = true;
    const auto* in = collapse_single_expr(item).get_if<Integral>();
    if (in != nullptr && !in->body && in->nolimits) w.integral_before_raw = true;
  }
  plan.saved_after_item = w.after_item;
  plan.saved_after_raw_item = w.after_raw_item;
  w.after_item = i > 0;
  w.after_raw_item = i > 0 && is_raw(st.prev());

  // Step 10: primes right after a character become its embellishments.
  if (item.is<Char>() || item.is<CommandSymbol>())
    while (i + 1 + plan.primes < n && is_char(items[i + 1 + plan.primes], U'\'')) ++plan.primes;
  return plan;
}

// Step 11 and the restoring of the item flags.
[[gnu::noinline]] void finish_item(SequenceRun& run, std::size_t i, const ItemPlan& plan, Bytes& out,
                                   QvfWriter& w) {
  const SequenceState st{run.items, run.s, i, out, w};
  write_after_item(st, i + 1 + plan.primes, run.c);
  w.after_item = plan.saved_after_item;
  w.after_raw_item = plan.saved_after_raw_item;
}

}  // namespace

WriteResult write_sequence_items(ItemList items, Bytes& out, std::uint8_t s, QvfWriter& w) {
  SequenceRun run = start_sequence(items, s, w);
  ItemPlan plan;
  for (std::size_t i = 0; i < items.size();) {
    plan = prepare_item(run, i, out, w);
    if (plan.done) {
      ++i;
      continue;
    }
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
