// STAND-INS, to be deleted when the generated tables arrive: the delimiter
// names and the extensible-arrow kinds are generated from their listings in
// another change. Until then these few rows let \genfrac delimiters and the
// extensible arrows be parsed; the generated definitions replace this file
// (a build with both fails to link, which is the reminder).
#include <array>
#include <utility>

#include "parser/commands/symbol_tables.h"

namespace quorvix::parser {

std::optional<char32_t> delimiter_command_char(std::string_view name) {
  // A subset of the delimiter-name table, in its order.
  static constexpr std::array<std::pair<std::string_view, char32_t>, 14> kStandIn = {{
      {"lbrack", U'['},
      {"rbrack", U']'},
      {"lbrace", U'{'},
      {"rbrace", U'}'},
      {"lparen", U'('},
      {"rparen", U')'},
      {"vert", U'|'},
      {"lvert", U'|'},
      {"rvert", U'|'},
      {"lVert", U'\u2016'},
      {"rVert", U'\u2016'},
      {"langle", U'\u3008'},
      {"rangle", U'\u3009'},
      {"lfloor", U'\u230A'},
  }};
  for (const auto& [n, c] : kStandIn)
    if (n == name) return c;
  return std::nullopt;
}

std::optional<ast::XArrowKind> xarrow_command_kind(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, ast::XArrowKind>, 3> kStandIn = {{
      {"xleftarrow", ast::XArrowKind::Left},
      {"xrightarrow", ast::XArrowKind::Right},
      {"xmapsto", ast::XArrowKind::MapsTo},
  }};
  for (const auto& [n, k] : kStandIn)
    if (n == name) return k;
  return std::nullopt;
}

}  // namespace quorvix::parser
