// The table of the commands handled by name, which the command dispatcher
// consults after the always-raw names.
#include "parser/commands/named_commands.h"

#include "common/sorted_table.h"
#include "parser/commands/left_right_delimiter.h"
#include "parser/macros/macros.h"
#include "parser/text_mode/text_commands.h"

namespace quorvix::parser {

namespace {

constexpr std::uint8_t code(ast::BigOperatorKind k) { return static_cast<std::uint8_t>(k); }
constexpr std::uint8_t code(ast::IntegralKind k) { return static_cast<std::uint8_t>(k); }
constexpr std::uint8_t code(ast::FontKind k) { return static_cast<std::uint8_t>(k); }
constexpr std::uint8_t code(ast::StyleKind k) { return static_cast<std::uint8_t>(k); }
constexpr std::uint8_t code(ast::AccentKind k) { return static_cast<std::uint8_t>(k); }
constexpr std::uint8_t code(ast::ArrowDirection k) { return static_cast<std::uint8_t>(k); }
constexpr std::uint8_t code(DecoratedLim k) { return static_cast<std::uint8_t>(k); }
constexpr std::uint8_t letter(char c) { return static_cast<std::uint8_t>(c); }

using ast::AccentKind;
using ast::ArrowDirection;
using ast::BigOperatorKind;
using ast::FontKind;
using ast::IntegralKind;
using ast::StyleKind;

// clang-format off
constexpr NamedCommand kNamedCommands[] = {
    // Big operators, integral signs and \mathop.
    {"sum", big_operator_command, code(BigOperatorKind::Sum)},
    {"prod", big_operator_command, code(BigOperatorKind::Prod)},
    {"coprod", big_operator_command, code(BigOperatorKind::Coprod)},
    {"bigcup", big_operator_command, code(BigOperatorKind::Bigcup)},
    {"bigcap", big_operator_command, code(BigOperatorKind::Bigcap)},
    {"int", integral_sign_command, code(IntegralKind::Int)},
    {"iint", integral_sign_command, code(IntegralKind::Iint)},
    {"iiint", integral_sign_command, code(IntegralKind::Iiint)},
    {"oint", integral_sign_command, code(IntegralKind::Oint)},
    {"iiiint", quadruple_integral_command},
    {"mathop", math_op_command},

    // Upright function names.
    {"arg", function_name_command}, {"cos", function_name_command}, {"cot", function_name_command},
    {"csc", function_name_command}, {"deg", function_name_command}, {"det", function_name_command},
    {"dim", function_name_command}, {"exp", function_name_command}, {"gcd", function_name_command},
    {"hom", function_name_command}, {"ker", function_name_command}, {"lim", function_name_command},
    {"inf", function_name_command}, {"log", function_name_command}, {"max", function_name_command},
    {"min", function_name_command}, {"sec", function_name_command}, {"sin", function_name_command},
    {"sup", function_name_command}, {"tan", function_name_command}, {"lg", function_name_command},
    {"ln", function_name_command}, {"Pr", function_name_command}, {"cosh", function_name_command},
    {"coth", function_name_command}, {"sinh", function_name_command}, {"tanh", function_name_command},
    {"arccos", function_name_command}, {"arccot", function_name_command}, {"arccsc", function_name_command},
    {"arcsin", function_name_command}, {"arcsec", function_name_command}, {"arctan", function_name_command},
    {"injlim", function_name_command}, {"liminf", function_name_command}, {"limsup", function_name_command},
    {"projlim", function_name_command},

    // Modulo forms; the code of \mod and \bmod is the width of the space before "mod".
    {"mod", modulo_command, 5}, {"bmod", modulo_command, 2},
    {"pmod", parenthesized_modulo_command}, {"pod", parenthesized_modulo_command},

    // Fonts and alphabets over an argument.
    {"mathrm", font_argument_command, code(FontKind::RomanText)},
    {"textrm", font_argument_command, code(FontKind::RomanText)},
    {"mathbf", font_argument_command, code(FontKind::Bold)},
    {"textbf", font_argument_command, code(FontKind::Bold)},
    {"bold", font_argument_command, code(FontKind::Bold)},
    {"boldsymbol", font_argument_command, code(FontKind::Bold)},
    {"mathsf", font_argument_command, code(FontKind::MathSf)},
    {"texttt", font_argument_command, code(FontKind::TypewriterText)},
    {"mathbb", font_argument_command, code(FontKind::MathBb)},
    {"Bbb", font_argument_command, code(FontKind::MathBb)},
    {"mathscr", font_argument_command, code(FontKind::MathScr)},
    {"mathfrak", font_argument_command, code(FontKind::MathFrak)},
    {"mathcal", calligraphic_command},
    {"mathit", plain_argument_command}, {"textit", plain_argument_command}, {"emph", plain_argument_command},

    // Blackboard shorthands.
    {"Complex", blackboard_shorthand_command, letter('C')}, {"cnums", blackboard_shorthand_command, letter('C')},
    {"Reals", blackboard_shorthand_command, letter('R')}, {"reals", blackboard_shorthand_command, letter('R')},
    {"Rational", blackboard_shorthand_command, letter('Q')},
    {"Rationals", blackboard_shorthand_command, letter('Q')},
    {"Integers", blackboard_shorthand_command, letter('Z')},
    {"Naturals", blackboard_shorthand_command, letter('N')},
    {"natnums", blackboard_shorthand_command, letter('N')},

    // Kept as raw TeX in front of their visible argument.
    {"textup", raw_prefix_argument_command}, {"textmd", raw_prefix_argument_command},
    {"mathnormal", raw_prefix_argument_command}, {"textsf", raw_prefix_argument_command},
    {"mathtt", raw_prefix_argument_command}, {"bm", raw_prefix_argument_command},
    {"utilde", raw_prefix_group_command}, {"widecheck", raw_prefix_group_command},
    {"underbar", raw_prefix_group_command}, {"underbracket", raw_prefix_group_command},
    {"boxed", raw_prefix_group_command}, {"pmb", raw_prefix_group_command},
    {"Overrightarrow", raw_prefix_group_command}, {"underrightarrow", raw_prefix_group_command},
    {"underleftarrow", raw_prefix_group_command}, {"underleftrightarrow", raw_prefix_group_command},
    {"overrightharpoon", raw_prefix_group_command}, {"overleftharpoon", raw_prefix_group_command},

    // Accents, bars and arrows over one argument, and negation.
    {"bar", accent_command, code(AccentKind::Bar)}, {"hat", accent_command, code(AccentKind::Hat)},
    {"widehat", accent_command, code(AccentKind::WideHat)},
    {"breve", accent_command, code(AccentKind::Breve)}, {"dot", accent_command, code(AccentKind::Dot)},
    {"ddot", accent_command, code(AccentKind::Ddot)}, {"dddot", accent_command, code(AccentKind::Dddot)},
    {"ddddot", accent_command, code(AccentKind::Ddddot)},
    {"tilde", accent_command, code(AccentKind::Tilde)},
    {"acute", accent_command, code(AccentKind::Acute)},
    {"grave", accent_command, code(AccentKind::Grave)},
    {"check", accent_command, code(AccentKind::Check)},
    {"overline", over_underline_command, 0}, {"underline", over_underline_command, 1},
    {"vec", arrow_accent_command, code(ArrowDirection::Right)},
    {"overrightarrow", arrow_accent_command, code(ArrowDirection::Right)},
    {"overleftarrow", arrow_accent_command, code(ArrowDirection::Left)},
    {"overleftrightarrow", arrow_accent_command, code(ArrowDirection::Both)},
    {"not", not_command},

    // "lim" under a bar, over a bar or over an arrow.
    {"varlimsup", decorated_lim_command, code(DecoratedLim::BarOver)},
    {"varliminf", decorated_lim_command, code(DecoratedLim::BarUnder)},
    {"varinjlim", decorated_lim_command, code(DecoratedLim::ArrowRight)},
    {"varprojlim", decorated_lim_command, code(DecoratedLim::ArrowLeft)},

    // Font and style switches over the rest of the group.
    {"rm", font_switch_command, code(FontKind::RomanText)},
    {"it", font_switch_command, kNoFontKind},
    {"bf", font_switch_command, code(FontKind::Bold)},
    {"sf", font_switch_command, code(FontKind::MathSf)},
    {"tt", font_switch_command, code(FontKind::TypewriterText)},
    {"cal", font_switch_command, code(FontKind::MathCal)},
    {"displaystyle", style_switch_command, code(StyleKind::Display)},
    {"textstyle", style_switch_command, code(StyleKind::Text)},
    {"scriptstyle", style_switch_command, code(StyleKind::Script)},
    {"scriptscriptstyle", style_switch_command, code(StyleKind::ScriptScript)},

    // Colours.
    {"color", color_switch_command}, {"textcolor", text_color_command},

    // Labels and references.
    {"label", label_command}, {"eqref", reference_command}, {"ref", reference_command},

    // Environments, row stacks, partial rules and the plain-TeX grids. The
    // environments' own marks met outside a row that reads them (\end,
    // \hline, \notag ...) stay raw TeX.
    {"begin", begin_environment_command}, {"substack", substack_command}, {"cline", cline_command},
    {"matrix", plain_tex_grid_command}, {"pmatrix", plain_tex_grid_command}, {"array", plain_tex_grid_command},
    {"eqalign", plain_tex_grid_command}, {"eqalignno", plain_tex_grid_command},
    {"leqalignno", plain_tex_grid_command}, {"cases", cases_command},
    {"end", untranslated_command}, {"hline", untranslated_command}, {"hdashline", untranslated_command},
    {"notag", untranslated_command}, {"nonumber", untranslated_command},

    // Templates: fractions, binomials, roots, strike-outs, stacked forms and
    // horizontal braces.
    {"frac", template_command}, {"dfrac", template_command}, {"tfrac", template_command},
    {"cfrac", template_command}, {"genfrac", template_command}, {"binom", template_command},
    {"dbinom", template_command}, {"tbinom", template_command}, {"sqrt", template_command},
    {"root", template_command}, {"sout", template_command}, {"cancel", template_command},
    {"bcancel", template_command}, {"xcancel", template_command}, {"stackrel", template_command},
    {"overset", template_command}, {"underset", template_command}, {"overbrace", template_command},
    {"underbrace", template_command},

    // \left ... \right groups and \middle; the size words (\big ...) are
    // handled before this table.
    {"left", left_group_command}, {"middle", middle_delimiter_command},

    // Text mode, text boxes and the wrappers that show their arguments.
    {"text", text_command}, {"mbox", text_box_command}, {"hbox", text_box_command},
    {"colorbox", color_box_command, 1}, {"fcolorbox", color_box_command, 2},
    {"htmlId", html_wrapper_command}, {"htmlClass", html_wrapper_command},
    {"htmlStyle", html_wrapper_command}, {"htmlData", html_wrapper_command},
    {"mathclap", overlap_wrapper_command}, {"mathllap", overlap_wrapper_command},
    {"mathrlap", overlap_wrapper_command}, {"phase", raw_prefix_wrapper_command},
    {"vcenter", visible_wrapper_command}, {"verb", verb_command}, {"hspace", hspace_command},
    {"char", char_code_command},
    {"operatorname", operator_name_command, 0}, {"operatornamewithlimits", operator_name_command, 1},

    // User definitions: kept raw TeX, their replacements shown.
    {"def", macro_definition_command}, {"gdef", macro_definition_command}, {"let", let_command},
    {"newcommand", command_definition_command}, {"renewcommand", command_definition_command},
    {"providecommand", command_definition_command}, {"newenvironment", environment_definition_command},
    {"renewenvironment", environment_definition_command},

    // Kept as raw TeX by design.
    {"futurelet", raw_primitive_command},
    {"allowbreak", untranslated_command},

    // Chemistry and the physics shorthands.
    {"ce", chemistry_command},
    {"qty", physics_quantity_command}, {"quantity", physics_quantity_command},
    {"abs", physics_size_wrapper_command}, {"norm", physics_size_wrapper_command},
    {"comm", physics_size_wrapper_command, kPhysicsSecondArgument},
    {"acomm", physics_size_wrapper_command, kPhysicsSecondArgument},
    {"commutator", physics_size_wrapper_command, kPhysicsSecondArgument},
    {"anticommutator", physics_size_wrapper_command, kPhysicsSecondArgument},
    {"poissonbracket", physics_size_wrapper_command, kPhysicsSecondArgument},
    {"mqty", physics_matrix_command}, {"pmqty", physics_matrix_command}, {"Pmqty", physics_matrix_command},
    {"bmqty", physics_matrix_command}, {"vmqty", physics_matrix_command}, {"smqty", physics_matrix_command},
    {"spmqty", physics_matrix_command}, {"sPmqty", physics_matrix_command}, {"sbmqty", physics_matrix_command},
    {"svmqty", physics_matrix_command}, {"mdet", physics_matrix_command}, {"smdet", physics_matrix_command},
    {"dmat", physics_matrix_command}, {"admat", physics_matrix_command}, {"imat", physics_matrix_command},
    {"pmat", physics_matrix_command}, {"matrixquantity", physics_matrix_command},
    {"smallmatrixquantity", physics_matrix_command}, {"matrixdeterminant", physics_matrix_command},
    {"xmat", physics_multi_group_command, 3}, {"zmat", physics_multi_group_command, 2},
    // The bra-ket and set notations have no form of their own: the command
    // stays raw TeX through the unrecognised-command path and its argument
    // is read as the ordinary input that follows (\ket{\psi} shows the psi).
    {"VERT", untranslated_command}, {"ket", untranslated_command}, {"Ket", untranslated_command},
    {"bra", untranslated_command}, {"Bra", untranslated_command}, {"braket", untranslated_command},
    {"Braket", untranslated_command}, {"set", untranslated_command}, {"Set", untranslated_command},
};
// clang-format on

constexpr auto command_name = [](const NamedCommand& c) { return c.name; };
constexpr auto kNamedIndex = table_index(kNamedCommands, command_name);

}  // namespace

const NamedCommand* find_named_command(HashedName name) {
  return find_in_table(kNamedCommands, kNamedIndex, command_name, name);
}

std::span<const NamedCommand> named_commands() { return kNamedCommands; }

}  // namespace quorvix::parser
