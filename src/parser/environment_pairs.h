// Which \begin{name} of a text has an \end{name} to pair with, found in one
// pass over the text the first time it is asked: each name's openings and
// closings are paired like brackets, innermost first. An environment whose
// opening has no partner cannot be read into rows; the parser keeps it raw
// at once, so that the environments around it, which fail for the same
// reason, do not read it again each time one of them is retried.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace quorvix::parser {

class EnvironmentPairs {
 public:
  EnvironmentPairs() = default;
  // Leaves its memory to the next index built on this thread.
  ~EnvironmentPairs();
  EnvironmentPairs(const EnvironmentPairs&) = delete;
  EnvironmentPairs& operator=(const EnvironmentPairs&) = delete;

  // True when the \begin{name} whose name group ends just before
  // `after_begin` in `chars` (always the same text: the one this index
  // belongs to) pairs with a later \end{name}.
  bool has_end(std::u32string_view chars, std::size_t after_begin);

 private:
  void build(std::u32string_view chars);

  bool built_ = false;
  std::vector<std::size_t> paired_;  // positions after the paired openings, ascending
};

}  // namespace quorvix::parser
