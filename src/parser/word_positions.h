// The positions of one control word in a text (a backslash, the word, and no
// letter after it), found in one pass the first time they are asked for, so
// that a forward search for the word costs a binary search however often it
// is repeated.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace quorvix::parser {

class ControlWordPositions {
 public:
  // `word` (letters only) must outlive this object.
  explicit ControlWordPositions(std::u32string_view word) : word_(word) {}

  ControlWordPositions(const ControlWordPositions&) = delete;
  ControlWordPositions& operator=(const ControlWordPositions&) = delete;

  // The position of the backslash of the first occurrence at or after `from`
  // in `chars` (always the same text: the one this index belongs to), or
  // nothing when the word does not occur there.
  std::optional<std::size_t> next(std::u32string_view chars, std::size_t from);

 private:
  std::u32string_view word_;
  bool built_ = false;
  std::vector<std::size_t> positions_;  // ascending
};

}  // namespace quorvix::parser
