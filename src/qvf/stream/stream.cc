// write_qvf_with_prefs: the whole equation stream, from the header to the
// closing END records.
#include "qvf/stream/stream.h"

#include <string>
#include <utility>
#include <vector>

#include "ast/nesting.h"
#include "common/small_stack.h"
#include "common/spare_buffer.h"
#include "qvf/definitions/fixed_defs.h"
#include "qvf/stream/header.h"
#include "qvf/stream/records.h"
#include "qvf/stream/source.h"
#include "qvf/tables/chars.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/predicates.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

// Environment kinds that write their own top-level line structure.
bool is_self_lining_environment(const Expr& e) {
  const auto* env = e.get_if<Environment>();
  if (env == nullptr || !(env->kind == EnvironmentKind::Align || env->kind == EnvironmentKind::Alignat ||
                          env->kind == EnvironmentKind::Reserved))
    return false;
  return !(env->rows.size() == 1 && env->rows.front().size() == 1);
}

// Nodes that never have children.
bool is_plain_leaf(const Expr& e) {
  return e.is<Char>() || e.is<RawTex>() || e.is<Space>() || e.is<CommandSymbol>() || e.is<FunctionName>() ||
         e.is<TextRun>();
}

// True when the tree is deeper than the writer is prepared to recurse. Trees
// from the parser stay far below the bound; trees built otherwise are refused
// here, before any walk down a long chain of first children begins.
bool nested_too_deeply(const Expr& tree) {
  struct Pending {
    const Expr* e;
    std::size_t depth;
  };
  // A node at depth d is too deep when d > kMaxWriterDepth. Leaves, the bulk
  // of most trees, are judged where they are met instead of being queued.
  SmallStack<Pending> pending(Pending{&tree, 1});
  bool too_deep = false;
  while (!pending.empty() && !too_deep) {
    const Pending top = pending.pop();
    const std::size_t child_depth = top.depth + 1;
    for_each_child(
        *top.e,
        [&](const Expr& c) {
          if (is_plain_leaf(c)) {
            too_deep |= child_depth > kMaxWriterDepth;
          } else {
            pending.push(Pending{&c, child_depth});
          }
        },
        /*with_trivia=*/false);
    too_deep |= top.depth > kMaxWriterDepth;
  }
  return too_deep;
}

// The leading space of the whole tree and what follows it.
struct TopLeadingSpace {
  bool present = false;
  std::uint8_t width = 0;
  std::vector<const Expr*> rest;
};

TopLeadingSpace top_leading_space_rest(const Expr& tree) {
  TopLeadingSpace lead;
  if (const auto* sp = tree.get_if<Space>()) return {true, sp->width, {}};
  const auto* outer = tree.get_if<Sequence>();
  if (outer == nullptr || outer->items.empty()) return lead;
  const Expr& first = outer->items.front();
  if (const auto* sp = first.get_if<Space>()) {
    lead = {true, sp->width, {}};
  } else if (const auto* inner = first.get_if<Sequence>();
             inner != nullptr && !inner->items.empty() && inner->items.front().is<Space>()) {
    lead = {true, inner->items.front().as<Space>().width, {}};
    for (std::size_t i = 1; i < inner->items.size(); ++i) lead.rest.push_back(&inner->items[i]);
  } else {
    return lead;
  }
  for (std::size_t i = 1; i < outer->items.size(); ++i) lead.rest.push_back(&outer->items[i]);
  return lead;
}

// The symbol-size record for what the tree starts with, and the mark that
// tells the writer of that construct the record is written.
void write_leading_symbol_size(const Expr& tree, const Expr& first, Bytes& out, QvfWriter& w) {
  if (const auto* s = first.get_if<Script>(); s && s->base && s->base->is<BigSymbol>()) {
    out.push_back(tag::kSym);
    w.marks.script_sym_written = true;
  } else if (first.is<SizedDelimiter>() || first.is<Group>()) {
    out.push_back(tag::kSym);
    w.marks.leading_sym_written = true;
  } else if (descend(tree, through::kOneItem | through::kDefaultColor | through::kStyle).is<IntegralSign>() ||
             expr_starts_with_standalone_big_glyph(tree)) {
    out.push_back(tag::kSym);
  }
}

// Whether black is selected in front of the body: not when the construct the
// tree starts with writes its own colour.
bool needs_colour_preamble(const Expr& tree, const Expr& first, bool placeholder) {
  if (placeholder || expr_starts_with_top_matrix(tree) || expr_starts_with_self_opening(tree)) return false;
  if (is_bodyless_limited_operator(first) || first.is<Binomial>()) return false;
  if (descend(tree, through::kSequence | through::kHybrid).is<Style>()) return false;
  return !expr_starts_with_slotless_big_op(tree) && !expr_sets_own_color(tree);
}

// What the tree starts with, for the writer of the construct it starts with.
TreeStartContext tree_start_context(const Expr& tree, const Expr& first) {
  const Expr& leading = descend(tree, through::kSequence | through::kHybrid);
  const Expr& only = descend(tree, through::kOneItem | through::kStyle);
  TreeStartContext context;
  context.tree_starts_with_binomial = first.is<Binomial>();
  context.fenced_matrix_at_tree_start = expr_starts_with_top_fenced_matrix(tree);
  context.style_at_tree_start = leading.is<Style>();
  context.limit_op_at_tree_start = only.is<Limit>() || is_math_op_with_limit(only);
  context.colour_index_one_free = leading.is<Color>();
  return context;
}

// The tree-start context, and the marks and line flags the first construct's
// writer reads.
void set_tree_start(const Expr& tree, const Expr& first, QvfWriter& w) {
  w.tree_start = tree_start_context(tree, first);
  const Expr& first_with_hybrid = descend(tree, through::kSequence | through::kStyle | through::kHybrid);
  w.marks.stackrel_in_line = first_with_hybrid.is<Stackrel>();
  const auto* script = first_with_hybrid.get_if<Script>();
  w.line.sequence_skips_colour = is_bodyless_limited_operator(first) ||
                                 (script != nullptr && script->base && script->base->is<BigOperatorSymbol>());
}

void write_closing(Bytes& out) { append_record(out, {tag::kEnd, tag::kEnd}); }

// The Calvane fonts the tree's first character is drawn from, defined before
// anything is written.
void define_leading_calvane_fonts(const Expr& tree, Bytes& out, QvfWriter& w) {
  const LeadingCalvaneFonts calvane = leading_calvane_fonts(tree);
  if (calvane.math_one) ensure_calvane_math_one_for_expr(tree, out, w);
  if (calvane.math_two) ensure_calvane_math_two(out, w);
  if (calvane.fraktur) ensure_calvane_fraktur(out, w);
}

}  // namespace

Result<Bytes> write_qvf_with_prefs(std::string_view normalized, const Expr& tree,
                                   const std::optional<std::string>& prefs_path) {
  return write_qvf_with_prefs(normalized, tree, prefs_path, quorvix_ansi::SourceEncoding::from_environment());
}

Result<Bytes> write_qvf_with_prefs(std::string_view normalized, const Expr& tree,
                                   const std::optional<std::string>& prefs_path,
                                   const quorvix_ansi::SourceEncoding& encoding, std::uint64_t depth_bound) {
  const bool known_shallow = depth_bound != 0 && depth_bound <= kMaxWriterDepth;
  if (!known_shallow && nested_too_deeply(tree)) return Error{std::string(kNestedTooDeeply), /*fatal=*/true};

  Bytes out = SpareQvfStream::take();
  out.reserve(512 + normalized.size());
  const bool placeholder = expr_is_translation_failed_placeholder(tree);
  write_qvf_header(placeholder, out);

  const auto* root_seq = tree.get_if<Sequence>();
  const bool empty_tree = root_seq != nullptr && root_seq->items.empty();
  if (!placeholder) {
    // An input that was only the display-math closer leaves no text behind.
    const std::string_view source = empty_tree && normalized == "\\]" ? std::string_view() : normalized;
    QV_RETURN_IF_ERROR(write_tex_source_record(source, encoding, out));
  }
  QV_RETURN_IF_ERROR(append_fixed_defs(prefs_path, out));

  if (empty_tree) {
    append_record(out, {tag::kFull, tag::kEnd});
    return out;
  }
  const Expr& first = descend(tree, through::kSequence | through::kStyle);
  const bool self_lining = is_self_lining_environment(first);
  if (self_lining)
    out.push_back(tag::kFull);
  else
    append_record(out, {tag::kFull, tag::kLine, 0x00});

  QvfWriter writer(encoding);
  if (expr_starts_plainly(tree)) {
    // Not only spaces, no leading space, symbol-size record or colour of the
    // first construct's own, and the default start context: only the fonts
    // and black go first.
    define_leading_calvane_fonts(tree, out, writer);
    if (!placeholder) select_black(out, writer);
    QV_RETURN_IF_ERROR(write_expr(tree, out, SizeLevel::Full, writer));
    write_closing(out);
    return out;
  }
  if (expr_is_only_spaces(tree)) {
    write_only_spaces(tree, out);
    write_closing(out);
    return out;
  }
  TopLeadingSpace lead = top_leading_space_rest(tree);
  define_leading_calvane_fonts(tree, out, writer);
  write_leading_symbol_size(tree, first, out, writer);

  if (lead.present) {
    write_space_without_color(lead.width, out);
    if (!lead.rest.empty()) {
      select_black(out, writer);
      QV_RETURN_IF_ERROR(write_sequence_items(ItemList(std::span<const Expr* const>(lead.rest)), out,
                                              SizeLevel::Full, writer));
    }
    write_closing(out);
    return out;
  }

  if (needs_colour_preamble(tree, first, placeholder)) select_black(out, writer);
  set_tree_start(tree, first, writer);
  writer.tree_start.alignment_closed_by_stream = self_lining;
  QV_RETURN_IF_ERROR(write_expr(tree, out, SizeLevel::Full, writer));
  write_closing(out);
  return out;
}

}  // namespace quorvix::qvf
