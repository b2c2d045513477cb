// Shared helpers for the parser tests.
#pragma once

#include <string>
#include <string_view>

#include "ast/dump.h"
#include "common/result.h"
#include "parser/parser.h"

namespace quorvix::parser::testing {

// The dump of a successful result, or "error: <message>".
inline std::string dump_result(const Result<ast::Expr>& r) {
  return r.ok() ? ast::dump(r.value()) : "error: " + r.error().message;
}

// Parses `text` as it stands (no normalisation) and dumps the result.
inline std::string parse_dump(std::string_view text) { return dump_result(Parser(text).parse()); }

}  // namespace quorvix::parser::testing
