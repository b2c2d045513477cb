#include "parser/environment_stack.h"

#include <algorithm>

#include "common/internal_error.h"

namespace quorvix::parser {

EnvironmentStack::EnvironmentStack(const EnvironmentStack* enclosing)
    : enclosing_(enclosing != nullptr && enclosing->own_.empty() ? enclosing->enclosing_ : enclosing),
      enclosing_size_(enclosing != nullptr ? enclosing->size() : 0) {}

void EnvironmentStack::pop() {
  if (own_.empty()) internal_failure("environment stack popped past its own names");
  own_.pop_back();
}

const std::string* EnvironmentStack::innermost() const {
  for (const EnvironmentStack* s = this; s != nullptr; s = s->enclosing_)
    if (!s->own_.empty()) return &s->own_.back();
  return nullptr;
}

bool EnvironmentStack::contains(std::string_view name) const {
  for (const EnvironmentStack* s = this; s != nullptr; s = s->enclosing_)
    if (std::find(s->own_.begin(), s->own_.end(), name) != s->own_.end()) return true;
  return false;
}

void EnvironmentStack::truncate(std::size_t own_size) {
  if (own_size > own_.size()) internal_failure("environment stack restored to more names than it holds");
  own_.resize(own_size);
}

}  // namespace quorvix::parser
