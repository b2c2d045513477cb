// Shared helpers for the parser tests.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
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

// One row of a table-driven parse test: the input and the dump it gives.
struct ParseCase {
  std::string input;
  std::string dump;
};

inline void expect_parses(std::initializer_list<ParseCase> cases) {
  for (const auto& c : cases) EXPECT_EQ(parse_dump(c.input), c.dump) << "input: " << c.input;
}

}  // namespace quorvix::parser::testing
