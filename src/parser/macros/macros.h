// User definitions: \def and \gdef (recorded, so that later uses are
// recognised), \newcommand and its relatives, \newenvironment and its
// relative, and \let. Definitions stay raw TeX in the tree, with their
// replacement text shown where it translates; uses of recorded macros stay
// raw with their arguments shown. Nothing is ever expanded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ast/expr.h"
#include "common/result.h"
#include "parser/commands/named_commands.h"

namespace quorvix::parser {

class Parser;

// A use of a recorded macro with `parameters` arguments (0, 1 or 2), the
// parser just after its name.
Result<ast::Expr> parse_macro_use(Parser& p, std::string_view name, std::uint8_t parameters);

// The command-table handlers.
Result<ast::Expr> macro_definition_command(Parser& p, const NamedCommand& command);    // \def, \gdef
Result<ast::Expr> command_definition_command(Parser& p, const NamedCommand& command);  // \newcommand ...
Result<ast::Expr> environment_definition_command(Parser& p,
                                                 const NamedCommand& command);  // \newenvironment ...
Result<ast::Expr> let_command(Parser& p, const NamedCommand& command);

// The label of one part of a definition command: "<name> <what>", for
// example "newcommand name".
std::string definition_part_label(std::string_view name, std::string_view what);

// One piece of a \newenvironment body: plain replacement text, or the span
// of a \begin{...} or \end{...}.
struct EnvironmentDefinitionFragment {
  std::u32string_view text;
  bool environment_span = false;
};

// Cuts a body at its \begin{...} and \end{...} spans, in order; empty plain
// pieces are left out.
std::vector<EnvironmentDefinitionFragment> split_environment_definition_body_fragments(
    std::u32string_view body);

}  // namespace quorvix::parser
