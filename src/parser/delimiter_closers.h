// Where a delimited physics body ends: for an opening `(`, `[` or `|` of a
// text, the position of the delimiter that closes it. Braces hide what they
// enclose (counted verbatim, a `}` with nothing open is ignored, and a `{`
// left open hides everything after it); a `(` or `[` opened inside the body
// must be closed before the body's own closer counts, while `|` simply ends
// at the next `|`.
//
// Each table is built in one right-to-left pass the first time its kind is
// asked for, so finding the closer costs nothing per body however many
// bodies are opened, nested or left unclosed. A parser that reads a range of
// another parser's text uses that parser's tables.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quorvix::parser {

class DelimiterClosers {
 public:
  // The tables of a text of its own.
  DelimiterClosers() = default;
  // The tables of the range starting at `offset` of the text of `outer`,
  // which must outlive this one.
  DelimiterClosers(DelimiterClosers& outer, std::u32string_view outer_chars, std::size_t offset);

  DelimiterClosers(const DelimiterClosers&) = delete;
  DelimiterClosers& operator=(const DelimiterClosers&) = delete;

  // The position of the delimiter closing the `(`, `[` or `|` at `open` in
  // `chars` (always the text this table belongs to); nothing when the body
  // is not closed within it or `open` holds no such opener.
  std::optional<std::size_t> closer(std::u32string_view chars, std::size_t open);

 private:
  static constexpr std::uint32_t kNone = UINT32_MAX;
  static constexpr std::size_t kKinds = 3;

  // The closer found by scanning `chars` from `from` for the opener kind.
  static std::optional<std::size_t> scan(std::u32string_view chars, std::size_t from, std::size_t kind);
  void build(std::size_t kind);

  DelimiterClosers* root_ = this;
  std::size_t offset_ = 0;
  std::u32string_view root_chars_;  // set on the root
  bool root_known_ = false;

  // By kind; entry i: where a body starting at i ends, or kNone.
  std::array<std::vector<std::uint32_t>, kKinds> ends_;
  std::array<bool, kKinds> built_{};
};

}  // namespace quorvix::parser
