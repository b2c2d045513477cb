// Stretchy fences: two-sided and one-sided \left...\right groups.
#pragma once

#include <cstdint>

#include "ast/expr.h"
#include "common/bytes.h"
#include "common/result.h"
#include "qvf/writer/write_result.h"
#include "qvf/writer/writer_state.h"

namespace quorvix::qvf {

// One entry per node kind, called by write_expr.
WriteResult write_delimited_node(const ast::Delimited& node, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_one_sided_delimited_node(const ast::OneSidedDelimited& node, Bytes& out, SizeLevel size,
                                           QvfWriter& writer);

// A fence template around `body`: both sides, or only the visible one.
WriteResult write_delimited(char32_t left, char32_t right, const ast::Expr& body, Bytes& out, SizeLevel size,
                            QvfWriter& writer);
WriteResult write_one_sided_delimited(ast::DelimiterSide side, char32_t delimiter, const ast::Expr& body,
                                      Bytes& out, SizeLevel size, QvfWriter& writer);

// The template selector of a pair; fails for a pair the format cannot draw.
Result<std::uint8_t> delimiter_selector(char32_t left, char32_t right);
// The expanding glyphs of a pair, left then right; fails for a character
// outside the Basic Multilingual Plane.
Status write_delimiter_glyph_pair(char32_t left, char32_t right, Bytes& out);

}  // namespace quorvix::qvf
