#include "parser/delimiter_closers.h"

namespace quorvix::parser {

namespace {

constexpr char32_t kOpeners[] = {U'(', U'[', U'|'};
constexpr char32_t kClosers[] = {U')', U']', U'|'};

std::optional<std::size_t> kind_of(char32_t opener) {
  for (std::size_t k = 0; k < 3; ++k)
    if (kOpeners[k] == opener) return k;
  return std::nullopt;
}

}  // namespace

DelimiterClosers::DelimiterClosers(DelimiterClosers& outer, std::u32string_view outer_chars,
                                   std::size_t offset)
    : root_(outer.root_), offset_(outer.offset_ + offset) {
  // A root learns its text from the first range made of it, or from its own
  // first question; a range of a range finds it already known.
  if (&outer == outer.root_ && !outer.root_known_) {
    outer.root_chars_ = outer_chars;
    outer.root_known_ = true;
  }
}

std::optional<std::size_t> DelimiterClosers::scan(std::u32string_view chars, std::size_t from,
                                                  std::size_t kind) {
  const char32_t open = kOpeners[kind];
  const char32_t close = kClosers[kind];
  std::size_t depth = 0;
  std::size_t nested = 0;
  for (std::size_t i = from; i < chars.size(); ++i) {
    const char32_t c = chars[i];
    if (c == U'{') {
      ++depth;
    } else if (c == U'}') {
      if (depth > 0) --depth;
    } else if (depth == 0 && c == close) {
      if (nested == 0) return i;
      --nested;
    } else if (depth == 0 && c == open) {
      ++nested;
    }
  }
  return std::nullopt;
}

void DelimiterClosers::build(std::size_t kind) {
  DelimiterClosers& root = *root_;
  root.built_[kind] = true;
  const std::u32string_view chars = root.root_chars_;
  if (chars.size() >= kNone) return;  // too long: scanned from the opener instead
  const char32_t open = kOpeners[kind];
  const char32_t close = kClosers[kind];
  const auto n = static_cast<std::uint32_t>(chars.size());
  // One entry past the end (no closer), so that a body may start there.
  std::vector<std::uint32_t>& ends = root.ends_[kind];
  ends.assign(chars.size() + 1, kNone);
  // The `}` positions not yet matched, nearest last: a `{` met right to
  // left matches the nearest of them.
  std::vector<std::uint32_t> closing_braces;
  for (std::uint32_t i = n; i-- > 0;) {
    const char32_t c = chars[i];
    std::uint32_t end = ends[i + 1];
    if (c == U'}') {
      closing_braces.push_back(i);
    } else if (c == U'{') {
      if (closing_braces.empty()) {
        end = kNone;  // never closed: nothing after it is at the body's level
      } else {
        end = ends[closing_braces.back() + 1];
        closing_braces.pop_back();
      }
    } else if (c == close) {
      end = i;
    } else if (c == open) {
      // A nested pair: the body continues after its closer.
      const std::uint32_t inner = ends[i + 1];
      end = inner == kNone ? kNone : ends[inner + 1];
    }
    ends[i] = end;
  }
}

std::optional<std::size_t> DelimiterClosers::closer(std::u32string_view chars, std::size_t open) {
  if (open >= chars.size()) return std::nullopt;
  const std::optional<std::size_t> kind = kind_of(chars[open]);
  if (!kind) return std::nullopt;
  if (root_ == this && !root_known_) {
    root_chars_ = chars;
    root_known_ = true;
  }
  if (!root_->built_[*kind]) build(*kind);
  const std::vector<std::uint32_t>& ends = root_->ends_[*kind];
  if (ends.empty()) return scan(chars, open + 1, *kind);
  const std::uint32_t found = ends[offset_ + open + 1];
  // A body closed only after the end of this range is not closed in it.
  if (found == kNone || found >= offset_ + chars.size()) return std::nullopt;
  return found - offset_;
}

}  // namespace quorvix::parser
