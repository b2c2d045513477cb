// The commands handled by name. One table maps every name to the handler of
// its family (fonts, switches, operators ...) and a small code that tells the
// handler which member of the family it is; the table is searched through a
// sorted index built at compile time.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ast/expr.h"
#include "common/result.h"
#include "common/sorted_table.h"

namespace quorvix::parser {

class Parser;
struct NamedCommand;

// A family's handler; the parser stands just after the command name.
using NamedCommandHandler = Result<ast::Expr> (*)(Parser& parser, const NamedCommand& command);

struct NamedCommand {
  std::string_view name;
  NamedCommandHandler handler;
  std::uint8_t code = 0;  // the member of the family: a kind, a letter, a variant
};

// The row of `name`, or null.
const NamedCommand* find_named_command(HashedName name);

// Every row, in the table's order.
std::span<const NamedCommand> named_commands();

// --- Handlers, by family ---------------------------------------------------

// Operators (big_operators.cc). Codes: the BigOperatorKind, the IntegralKind.
Result<ast::Expr> big_operator_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> integral_sign_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> quadruple_integral_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> math_op_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> function_name_command(Parser& p, const NamedCommand& command);

// \mod and \bmod (code: the space in front), \pmod and \pod (modulo.cc).
Result<ast::Expr> modulo_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> parenthesized_modulo_command(Parser& p, const NamedCommand& command);

// Fonts (fonts.cc). Codes: the FontKind; the letter of a blackboard shorthand.
Result<ast::Expr> font_argument_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> calligraphic_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> plain_argument_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> blackboard_shorthand_command(Parser& p, const NamedCommand& command);
// Font(MathBb, Char(letter)): the tree of \mathbb{R} and of \Reals.
ast::Expr blackboard_letter(char32_t letter);

// Accents and arrow accents over one argument (accents.cc). Codes: the
// AccentKind, the ArrowDirection.
Result<ast::Expr> accent_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> arrow_accent_command(Parser& p, const NamedCommand& command);

// Bars over and under one argument (code 1: under), and the decorated limits
// (decorations.cc).
enum class DecoratedLim : std::uint8_t {
  BarOver = 0,     // \varlimsup
  BarUnder = 1,    // \varliminf
  ArrowRight = 2,  // \varinjlim: an arrow under, pointing right
  ArrowLeft = 3,   // \varprojlim
};
Result<ast::Expr> over_underline_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> decorated_lim_command(Parser& p, const NamedCommand& command);

// \not (negation.cc).
Result<ast::Expr> not_command(Parser& p, const NamedCommand& command);

// Commands kept as raw TeX in front of their visible argument
// (raw_prefixed.cc): an argument read as a group or an atom, or a group only.
Result<ast::Expr> raw_prefix_argument_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> raw_prefix_group_command(Parser& p, const NamedCommand& command);

// Switches over the rest of the group (switches.cc). Codes: the FontKind
// (kNoFontKind for \it), the StyleKind.
inline constexpr std::uint8_t kNoFontKind = 0xFF;
Result<ast::Expr> font_switch_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> style_switch_command(Parser& p, const NamedCommand& command);

// Colours (colors.cc): \color switches, \textcolor takes an argument.
Result<ast::Expr> color_switch_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> text_color_command(Parser& p, const NamedCommand& command);

// Fractions, binomials, roots, strike-outs, stacked forms and horizontal
// braces (template_commands.cc).
Result<ast::Expr> template_command(Parser& p, const NamedCommand& command);

// Labels and references (references.cc).
Result<ast::Expr> label_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> reference_command(Parser& p, const NamedCommand& command);

// Environments and grids (environments/): \begin, \substack, \cline, and
// the plain-TeX grids (\matrix, \pmatrix, \cases ...), kept raw around their
// visible cells.
Result<ast::Expr> begin_environment_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> substack_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> cline_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> plain_tex_grid_command(Parser& p, const NamedCommand& command);

// Chemistry and physics shorthands (physics/): the command stays raw TeX
// and what it encloses is shown. \ce; \qty and \quantity; the size
// wrappers (code kPhysicsSecondArgument for the two-argument brackets such
// as \comm); the matrix shorthands; \xmat and \zmat (code: the number of
// groups).
inline constexpr std::uint8_t kPhysicsSecondArgument = 1;
Result<ast::Expr> chemistry_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> physics_quantity_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> physics_size_wrapper_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> physics_matrix_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> physics_multi_group_command(Parser& p, const NamedCommand& command);
// \cases{...}: cut into cells like a physics matrix body (plain_tex_grids.cc).
Result<ast::Expr> cases_command(Parser& p, const NamedCommand& command);

// Commands kept as raw TeX (unsupported.cc): through the unrecognised-command
// path, or copied verbatim up to the next whitespace (\futurelet).
Result<ast::Expr> untranslated_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> raw_primitive_command(Parser& p, const NamedCommand& command);

}  // namespace quorvix::parser
