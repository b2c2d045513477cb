#include "parser/brace_matches.h"

#include "common/small_stack.h"
#include "common/spare_buffer.h"

namespace quorvix::parser {

namespace {

struct BraceTableTag;
// The table's memory, kept per thread from one parse to the next.
using SpareBraceTable = SpareBuffer<std::vector<std::uint32_t>, BraceTableTag>;

}  // namespace

BraceMatches::BraceMatches(BraceMatches& outer, std::u32string_view outer_chars, std::size_t offset)
    : root_(outer.root_), offset_(outer.offset_ + offset) {
  if (!outer.root_->built_) outer.build(outer_chars);
}

void BraceMatches::build(std::u32string_view chars) {
  // Only a table of a text of its own is built; a range is built with it.
  BraceMatches& root = *root_;
  root.built_ = true;
  if (chars.size() >= kNone) return;  // too long: counted from the brace instead
  root.close_ = SpareBraceTable::take();
  root.close_.assign(chars.size(), kNone);
  SmallStack<std::uint32_t> open_braces;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (chars[i] == U'{') {
      open_braces.push(static_cast<std::uint32_t>(i));
    } else if (chars[i] == U'}' && !open_braces.empty()) {
      root.close_[open_braces.pop()] = static_cast<std::uint32_t>(i);
    }
  }
}

BraceMatches::~BraceMatches() { SpareBraceTable::give_back(close_); }

std::optional<std::size_t> BraceMatches::closing(std::u32string_view chars, std::size_t open) {
  if (open >= chars.size() || chars[open] != U'{') return std::nullopt;
  if (!root_->built_) build(chars);
  const std::vector<std::uint32_t>& close = root_->close_;
  if (close.empty()) {
    std::size_t depth = 0;
    for (std::size_t i = open; i < chars.size(); ++i) {
      if (chars[i] == U'{') ++depth;
      if (chars[i] == U'}' && --depth == 0) return i;
    }
    return std::nullopt;
  }
  const std::uint32_t found = close[offset_ + open];
  // A brace closed only after the end of this range is not closed in it.
  if (found == kNone || found >= offset_ + chars.size()) return std::nullopt;
  return found - offset_;
}

}  // namespace quorvix::parser
