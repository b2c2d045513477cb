// User definitions (macros from \def and \gdef, aliases from \let) as a chain
// of scopes: a sub-parser reads its parent's definitions and records its own
// on top, so that creating a sub-parser or recording a definition never
// copies what is already recorded.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "ast/node_pool.h"

namespace quorvix::parser {

// A user macro recorded from \def or \gdef.
struct MacroDefinition {
  std::string replacement;
  std::uint8_t parameter_count = 0;  // 0, 1 or 2
};

class DefinitionScope {
 public:
  // The outermost scope: nothing is defined.
  DefinitionScope() = default;
  // A scope on top of `enclosing`, which must outlive it and must not change
  // while it exists (a parent parser is idle while its sub-parser runs).
  explicit DefinitionScope(const DefinitionScope* enclosing);

  // Scopes are shared by pointer, never copied.
  DefinitionScope(const DefinitionScope&) = delete;
  DefinitionScope& operator=(const DefinitionScope&) = delete;

  // False when no scope visible from here records anything, so that every
  // lookup below would find nothing: the case of almost every parse.
  bool any_visible() const { return enclosing_ != nullptr || !records_nothing(); }

  // The innermost definition of `name` visible here, or null (also when this
  // scope or one between hides it).
  const MacroDefinition* find_macro(std::string_view name) const;
  // The innermost alias recorded for `name`, or null.
  const std::string* find_let_alias(std::string_view name) const;

  // Records in this scope; a later definition replaces an earlier one.
  void define_macro(std::string name, MacroDefinition definition);
  // Makes `name` undefined in this scope, whatever the enclosing ones hold.
  void hide_macro(std::string_view name);
  void set_let_alias(std::string name, std::string target);

 private:
  bool records_nothing() const { return macros_.empty() && let_aliases_.empty(); }

  // The nearest enclosing scope that records anything; empty scopes between
  // are skipped, so a lookup visits only scopes with entries.
  const DefinitionScope* enclosing_ = nullptr;
  // A name mapped to nothing is hidden here.
  // The maps' nodes are blocks of the node pool: a definition made in one
  // conversion takes the memory one made in the conversion before.
  template <class Value>
  using NameMap = std::map<std::string, Value, std::less<>,
                           ast::node_pool::NodeAllocator<std::pair<const std::string, Value>>>;
  NameMap<std::optional<MacroDefinition>> macros_;
  NameMap<std::string> let_aliases_;
};

}  // namespace quorvix::parser
