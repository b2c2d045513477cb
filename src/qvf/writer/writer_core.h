// Building blocks of the expression writer shared by the core and the
// construct writers: sequences, hybrid runs, styles, text runs, spaces and
// the size and colour records that go between items.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "ast/expr.h"
#include "ast/nesting.h"
#include "common/bytes.h"
#include "common/internal_error.h"
#include "common/result.h"
#include "qvf/stream/records.h"
#include "qvf/writer/write_result.h"
#include "qvf/writer/writer_state.h"

namespace quorvix::qvf {

// Deepest recursion of write_expr, and the deepest tree the stream writer
// accepts. One parsed nesting level turns into a few writer levels (a script
// writes a line, the line a sequence, ...). A level costs a few hundred bytes
// of stack, so a write at this bound needs well under 512 KiB.
inline constexpr std::size_t kMaxWriterDepth = 4 * kMaxNestingDepth;

// A child every well-formed node of its kind has.
inline const ast::Expr& required(const ast::Box& child) {
  if (!child) internal_failure("internal error: required child expression is missing");
  return *child;
}

// The items of a sequence being written: either the items of a Sequence node
// or a list assembled from several sequences (a leading space or a leading raw
// piece split off), without copying any subtree.
class ItemList {
 public:
  explicit ItemList(std::span<const ast::Expr> items) : items_(items.data()), size_(items.size()) {}
  explicit ItemList(std::span<const ast::Expr* const> items) : ptrs_(items.data()), size_(items.size()) {}

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const ast::Expr& operator[](std::size_t i) const { return ptrs_ != nullptr ? *ptrs_[i] : items_[i]; }

 private:
  const ast::Expr* items_ = nullptr;
  const ast::Expr* const* ptrs_ = nullptr;
  std::size_t size_ = 0;
};

// The sequence writer: `items` written as one Sequence at size level `size`.
WriteResult write_sequence_items(ItemList items, Bytes& out, SizeLevel size, QvfWriter& writer);

WriteResult write_hybrid(const ast::Hybrid& hybrid, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_style(const ast::Style& style, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_function_name(std::string_view name, Bytes& out, SizeLevel size, QvfWriter& writer);

// One CHAR per character of `text` (char options 0 for text, 0x80 for raw TeX).
// Text characters that `encoding` cannot hold are written as its question marks.
Status write_text_code_units(std::string_view text, std::uint8_t char_options, Bytes& out,
                             const quorvix_ansi::SourceEncoding& encoding);
// One CHAR per character of a function name, the first marked as its start.
Status write_function_name_chars(std::string_view name, Bytes& out);

// The space character 02 00 98 w EF, without any colour record.
void write_space_without_color(std::uint8_t width, Bytes& out);
// Writes a tree made of spaces only (see expr_is_only_spaces).
void write_only_spaces(const ast::Expr& expr, Bytes& out);

// The record selecting size level `level` (FULL, SUB or SUB2).
inline void write_size_record(SizeLevel level, Bytes& out) {
  out.push_back(static_cast<std::uint8_t>(tag::kFull + static_cast<std::uint8_t>(level)));
}

// Defines the Calvane font (Math One, Math Two or Fraktur) that `expr` starts
// with, if any and not yet defined.
void define_leading_calvane_font(const ast::Expr& expr, Bytes& out, QvfWriter& writer);
// The same restricted to Calvane Math One and Math Two.
void define_leading_calvane_math_font(const ast::Expr& expr, Bytes& out, QvfWriter& writer);

}  // namespace quorvix::qvf
