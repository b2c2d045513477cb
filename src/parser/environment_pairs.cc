#include "parser/environment_pairs.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "parser/chars.h"

namespace quorvix::parser {

namespace {

// A backslash and `word` at `at`, not followed by a letter.
bool word_at(std::u32string_view chars, std::size_t at, std::u32string_view word) {
  if (chars[at] != U'\\' || chars.substr(at + 1, word.size()) != word) return false;
  const std::size_t after = at + 1 + word.size();
  return after >= chars.size() || !is_ascii_letter(chars[after]);
}

struct NameGroup {
  std::u32string_view name;
  std::size_t end = 0;  // just after the closing brace; 0 when there is no plain name group
};

// The `{name}` after whitespace from `at`. Names holding braces are not
// names of environments that are read into rows, so the scan stops at the
// first brace: every character is looked at by one scan only.
NameGroup name_group(std::u32string_view chars, std::size_t at) {
  while (at < chars.size() && is_whitespace(chars[at])) ++at;
  if (at >= chars.size() || chars[at] != U'{') return {};
  const std::size_t start = ++at;
  while (at < chars.size() && chars[at] != U'{' && chars[at] != U'}') ++at;
  if (at >= chars.size() || chars[at] != U'}') return {};
  return NameGroup{chars.substr(start, at - start), at + 1};
}

}  // namespace

void EnvironmentPairs::build(std::u32string_view chars) {
  built_ = true;
  std::unordered_map<std::u32string_view, std::vector<std::size_t>> open;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (chars[i] != U'\\') continue;
    const bool begin = word_at(chars, i, U"begin");
    if (!begin && !word_at(chars, i, U"end")) {
      ++i;  // an escaped character, or the first letter of another word
      continue;
    }
    const NameGroup group = name_group(chars, i + (begin ? 6 : 4));
    if (group.end == 0) continue;
    std::vector<std::size_t>& openings = open[group.name];
    if (begin) {
      openings.push_back(group.end);
    } else if (!openings.empty()) {
      paired_.push_back(openings.back());
      openings.pop_back();
    }
    i = group.end - 1;
  }
  std::sort(paired_.begin(), paired_.end());
}

bool EnvironmentPairs::has_end(std::u32string_view chars, std::size_t after_begin) {
  if (!built_) build(chars);
  return std::binary_search(paired_.begin(), paired_.end(), after_begin);
}

}  // namespace quorvix::parser
