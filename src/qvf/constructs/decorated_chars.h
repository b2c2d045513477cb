// Decorations drawn on a single character: what counts as a single
// character under a decoration, and the CHAR record carrying the marks.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "ast/expr.h"
#include "common/bytes.h"
#include "common/result.h"
#include "qvf/writer/write_result.h"
#include "qvf/writer/writer_state.h"

namespace quorvix::qvf {

// A character, plain or in one font kind.
struct FontChar {
  std::optional<ast::FontKind> font;  // nothing: a plain character
  char32_t ch = 0;
};

// The character `e` is through one-item sequences: a Char, or a Font around
// one (its body also seen through one-item sequences).
std::optional<FontChar> single_font_char(const ast::Expr& e);

// The plain character `e` is (single_font_char without a font).
std::optional<char32_t> single_plain_char(const ast::Expr& e);

// The characters of a run of plain characters: a Char, or a non-empty
// Sequence of Chars (a one-item sequence seen through).
std::optional<std::vector<char32_t>> simple_char_run(const ast::Expr& e);

// The character in its own style with the embellishment list `codes`.
Status write_char_with_codes(char32_t ch, std::span<const std::uint8_t> codes, Bytes& out, QvfWriter& writer);

// The character in its own style with the marks of the accent kinds.
Status write_embellished_char(char32_t ch, std::span<const ast::AccentKind> kinds, Bytes& out,
                              QvfWriter& writer);

// A bar over (or under) `body`: a mark on a single plain character, else a
// template around the body's line.
WriteResult write_bar_template(bool under, const ast::Expr& body, Bytes& out, SizeLevel size,
                               QvfWriter& writer);

}  // namespace quorvix::qvf
