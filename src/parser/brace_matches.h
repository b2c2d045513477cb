// The closing brace of every `{` of a text, counting braces verbatim
// (backslashes are not special), as a raw group is read. Built in one pass
// the first time it is asked, so looking ahead to the end of a group costs
// nothing per group however deeply groups nest. A parser that reads a range
// of another parser's text uses that parser's table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quorvix::parser {

class BraceMatches {
 public:
  // The table of a text of its own.
  BraceMatches() = default;
  // The table of the range starting at `offset` of the text of `outer`,
  // which must outlive this one. `outer` is built here if it was not.
  BraceMatches(BraceMatches& outer, std::u32string_view outer_chars, std::size_t offset);

  // A table of a text of its own leaves its memory to the next one built on
  // this thread.
  ~BraceMatches();
  BraceMatches(const BraceMatches&) = delete;
  BraceMatches& operator=(const BraceMatches&) = delete;

  // The position of the `}` closing the `{` at `open` in `chars` (always the
  // same text: the one this table belongs to), or nothing when the group is
  // not closed within it.
  std::optional<std::size_t> closing(std::u32string_view chars, std::size_t open);

 private:
  static constexpr std::uint32_t kNone = UINT32_MAX;

  void build(std::u32string_view chars);

  // The table holding the positions (this one for a text of its own), and
  // where this text starts in it.
  BraceMatches* root_ = this;
  std::size_t offset_ = 0;

  bool built_ = false;
  std::vector<std::uint32_t> close_;  // by position of a `{`; kNone elsewhere
};

}  // namespace quorvix::parser
