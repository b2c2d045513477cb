// Colour records: the black colour, named colours and the colour a construct
// brings along by itself.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "ast/expr.h"
#include "common/bytes.h"
#include "qvf/writer/write_result.h"
#include "qvf/writer/writer_state.h"

namespace quorvix::qvf {

using ColorDef = std::array<std::uint8_t, 8>;  // one COLOR_DEF record

// The COLOR_DEF record of a named colour, or nullptr when the name has none.
// Names are compared exactly.
const ColorDef* named_color_def(std::string_view name);

// Returns the COLOR index of `name`, writing its definition on first use.
std::uint8_t write_named_color_selector(std::string_view name, const ColorDef& def, Bytes& out,
                                        QvfWriter& writer);

// The black COLOR_DEF, written once per stream.
void ensure_black_color_def(Bytes& out, QvfWriter& writer);
// Selects black: the black COLOR_DEF (once), COLOR 1, and the next colour
// index moves from 1 to 2.
void select_black(Bytes& out, QvfWriter& writer);
// COLOR 1 alone, for places where the black definition is known to stand
// earlier.
void select_black_without_def(Bytes& out, QvfWriter& writer);
// COLOR with the given index.
void write_color_index(std::uint8_t index, Bytes& out);

// True when `expr` starts with a construct that writes its own colour record.
bool expr_sets_own_color(const ast::Expr& expr);

// A Sequence that starts with raw TeX followed by more items, split into the
// raw piece and the rest (collapsed to one item when only one remains). When
// the raw piece sits in a nested first sequence, the rest of that inner
// sequence stays one item of its own, followed by the outer items.
struct RawVisibleSplit {
  const ast::Expr* raw = nullptr;      // the leading RawTex; nullptr: no split
  std::vector<const ast::Expr*> tail;  // the items of the rest, in order
  // An inner rest of several items followed by outer items has no node of its
  // own in the tree; it is built here and `tail` points at it.
  std::unique_ptr<ast::Expr> built;
};
RawVisibleSplit split_leading_raw_visible_tail(const ast::Expr& expr);

// A Color node.
WriteResult write_color(const ast::Color& color, Bytes& out, SizeLevel size, QvfWriter& writer);

}  // namespace quorvix::qvf
