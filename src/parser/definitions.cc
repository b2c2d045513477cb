#include "parser/definitions.h"

#include <utility>

namespace quorvix::parser {

DefinitionScope::DefinitionScope(const DefinitionScope* enclosing)
    : enclosing_(enclosing != nullptr && enclosing->records_nothing() ? enclosing->enclosing_ : enclosing) {}

const MacroDefinition* DefinitionScope::find_macro(std::string_view name) const {
  for (const DefinitionScope* scope = this; scope != nullptr; scope = scope->enclosing_) {
    const auto it = scope->macros_.find(name);
    if (it != scope->macros_.end()) return it->second ? &*it->second : nullptr;
  }
  return nullptr;
}

const std::string* DefinitionScope::find_let_alias(std::string_view name) const {
  for (const DefinitionScope* scope = this; scope != nullptr; scope = scope->enclosing_) {
    const auto it = scope->let_aliases_.find(name);
    if (it != scope->let_aliases_.end()) return &it->second;
  }
  return nullptr;
}

void DefinitionScope::define_macro(std::string name, MacroDefinition definition) {
  macros_.insert_or_assign(std::move(name), std::optional<MacroDefinition>(std::move(definition)));
}

void DefinitionScope::hide_macro(std::string_view name) {
  if (find_macro(name) == nullptr) return;
  const auto it = macros_.find(name);
  if (it != macros_.end()) {
    it->second.reset();
  } else {
    macros_.emplace(std::string(name), std::nullopt);
  }
}

void DefinitionScope::set_let_alias(std::string name, std::string target) {
  let_aliases_.insert_or_assign(std::move(name), std::move(target));
}

}  // namespace quorvix::parser
