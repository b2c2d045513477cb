#include "parser/environment_pairs.h"

#include <algorithm>
#include <string>

#include "common/small_stack.h"
#include "common/spare_buffer.h"
#include "parser/chars.h"

namespace quorvix::parser {

namespace {

// A backslash and `word` at `at`, not followed by a letter. The first letter
// is looked at before the rest: most backslashes begin other words.
bool word_at(std::u32string_view chars, std::size_t at, std::u32string_view word) {
  if (chars[at] != U'\\' || at + 1 >= chars.size() || chars[at + 1] != word.front()) return false;
  if (chars.substr(at + 1, word.size()) != word) return false;
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

// A \begin or \end with a plain name group; `at` is just after the group.
struct NameEvent {
  std::u32string_view name;
  std::size_t at = 0;
  bool begin = false;
};

struct NameEventsTag;
struct PairsTag;
// Memory kept per thread from one parse to the next.
using SpareNameEvents = SpareBuffer<std::vector<NameEvent>, NameEventsTag>;
using SparePairs = SpareBuffer<std::vector<std::size_t>, PairsTag>;

}  // namespace

void EnvironmentPairs::build(std::u32string_view chars) {
  built_ = true;
  // Every \begin{name} and \end{name} in text order; then, name by name,
  // openings and closings are paired like brackets.
  std::vector<NameEvent> events = SpareNameEvents::take();
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (chars[i] != U'\\') continue;
    const bool begin = word_at(chars, i, U"begin");
    if (!begin && !word_at(chars, i, U"end")) {
      ++i;  // an escaped character, or the first letter of another word
      continue;
    }
    const NameGroup group = name_group(chars, i + (begin ? 6 : 4));
    if (group.end == 0) continue;
    events.push_back(NameEvent{group.name, group.end, begin});
    i = group.end - 1;
  }
  // Positions are distinct, so this keeps each name's events in text order.
  std::sort(events.begin(), events.end(), [](const NameEvent& a, const NameEvent& b) {
    const int order = a.name.compare(b.name);
    return order != 0 ? order < 0 : a.at < b.at;
  });
  paired_ = SparePairs::take();
  for (std::size_t first = 0; first < events.size();) {
    std::size_t last = first;
    SmallStack<std::size_t> openings;
    for (; last < events.size() && events[last].name == events[first].name; ++last) {
      if (events[last].begin) {
        openings.push(events[last].at);
      } else if (!openings.empty()) {
        paired_.push_back(openings.pop());
      }
    }
    first = last;
  }
  SpareNameEvents::give_back(events);
  std::sort(paired_.begin(), paired_.end());
}

EnvironmentPairs::~EnvironmentPairs() { SparePairs::give_back(paired_); }

bool EnvironmentPairs::has_end(std::u32string_view chars, std::size_t after_begin) {
  if (!built_) build(chars);
  return std::binary_search(paired_.begin(), paired_.end(), after_begin);
}

}  // namespace quorvix::parser
