// parse_template_command: the names of the template commands and the
// handler each goes to.
#include <cstdint>

#include "common/sorted_table.h"
#include "parser/commands/named_commands.h"
#include "parser/commands/symbol_tables.h"
#include "parser/commands/template_handlers.h"
#include "parser/commands/templates.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

enum class Handler : std::uint8_t {
  Fraction,     // \frac \dfrac \tfrac \cfrac
  Genfrac,      //
  Binom,        //
  StyledBinom,  // code: the StyleKind
  Sqrt,
  Root,
  Strike,  // code: the StrikeKind
  Stackrel,
  Underset,
  Brace,  // code: the BraceKind
};

struct TemplateCommand {
  std::string_view name;
  Handler handler;
  std::uint8_t code = 0;
};

constexpr std::uint8_t code_of(auto kind) { return static_cast<std::uint8_t>(kind); }

// clang-format off
constexpr TemplateCommand kTemplateCommands[] = {
    {"frac", Handler::Fraction},
    {"dfrac", Handler::Fraction},
    {"tfrac", Handler::Fraction},
    {"cfrac", Handler::Fraction},
    {"genfrac", Handler::Genfrac},
    {"binom", Handler::Binom},
    {"dbinom", Handler::StyledBinom, code_of(ast::StyleKind::Display)},
    {"tbinom", Handler::StyledBinom, code_of(ast::StyleKind::Text)},
    {"sqrt", Handler::Sqrt},
    {"root", Handler::Root},
    {"sout", Handler::Strike, code_of(ast::StrikeKind::Sout)},
    {"cancel", Handler::Strike, code_of(ast::StrikeKind::Cancel)},
    {"bcancel", Handler::Strike, code_of(ast::StrikeKind::Bcancel)},
    {"xcancel", Handler::Strike, code_of(ast::StrikeKind::Xcancel)},
    {"stackrel", Handler::Stackrel},
    {"overset", Handler::Stackrel},
    {"underset", Handler::Underset},
    {"overbrace", Handler::Brace, code_of(ast::BraceKind::Over)},
    {"underbrace", Handler::Brace, code_of(ast::BraceKind::Under)},
};
// clang-format on

constexpr auto command_name = [](const TemplateCommand& c) { return c.name; };
constexpr auto kTemplateIndex = table_index(kTemplateCommands, command_name);

// Returns into the caller's slot: this sits on the recursive path of every
// template command.
[[gnu::noinline]] Result<Expr> run_template(Parser& p, const TemplateCommand& command) {
  switch (command.handler) {
    case Handler::Fraction: return parse_fraction_like_command(p, command.name);
    case Handler::Genfrac: return parse_genfrac(p);
    case Handler::Binom: return parse_binom(p);
    case Handler::StyledBinom: return parse_styled_binom(p, static_cast<ast::StyleKind>(command.code));
    case Handler::Sqrt: return parse_sqrt_command(p);
    case Handler::Root: return parse_malformed_root_command(p);
    case Handler::Strike:
      return parse_strike_command(p, command.name, static_cast<ast::StrikeKind>(command.code));
    case Handler::Stackrel: return parse_stackrel(p);
    case Handler::Underset: return parse_underset(p);
    case Handler::Brace:
      return parse_brace_command(p, command.name, static_cast<ast::BraceKind>(command.code));
  }
  return p.parse_unsupported_command(command.name);
}

const TemplateCommand* find_template_command(std::string_view name) {
  return find_in_table(kTemplateCommands, kTemplateIndex, command_name, name);
}

}  // namespace

bool is_template_command(std::string_view name) { return find_template_command(name) != nullptr; }

std::optional<Result<Expr>> parse_template_command(Parser& parser, std::string_view name) {
  if (const TemplateCommand* command = find_template_command(name)) return run_template(parser, *command);
  return std::nullopt;
}

Result<Expr> template_command(Parser& p, const NamedCommand& command) {
  const TemplateCommand* row = find_template_command(command.name);
  if (row == nullptr) return p.parse_unsupported_command(command.name);
  return run_template(p, *row);
}

}  // namespace quorvix::parser
