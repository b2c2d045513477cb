// Builders and a writing helper for the script, big-operator, integral and
// limit writer tests.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "ast/expr.h"
#include "qvf/writer/expr_writer.h"
#include "support/bytes.h"
#include "support/tree_builders.h"

namespace quorvix::qvf::test {

using namespace quorvix::test_support;

// Character records used throughout (typeface byte 131 letters, 136 digits).
inline const std::string kBlackDef = "10 00 00 00 00 00 00 00";
inline std::string letter(char c) {
  char buf[20];
  std::snprintf(buf, sizeof buf, "02 00 83 %02X 00", static_cast<unsigned char>(c));
  return buf;
}
inline std::string digit(char c) {
  char buf[20];
  std::snprintf(buf, sizeof buf, "02 00 88 %02X 00", static_cast<unsigned char>(c));
  return buf;
}
// A slot line holding one letter or digit, black selected by its preamble
// (the black definition already in the stream).
inline std::string line_of(const std::string& char_record) { return "01 00 0F 01 " + char_record + " 00"; }

inline std::optional<ast::Expr> none() { return std::nullopt; }

inline ast::Box opt_box(std::optional<ast::Expr> e) { return e ? ast::box(std::move(*e)) : ast::Box(); }

inline ast::Expr big_op(ast::BigOperatorKind kind, std::optional<ast::Expr> lower,
                        std::optional<ast::Expr> upper, std::optional<ast::Expr> body,
                        bool nolimits = false) {
  ast::BigOperator op;
  op.lower = opt_box(std::move(lower));
  op.upper = opt_box(std::move(upper));
  op.body = opt_box(std::move(body));
  op.op = kind;
  op.nolimits = nolimits;
  return ast::Expr(std::move(op));
}

inline ast::Expr integral(ast::IntegralKind kind, std::optional<ast::Expr> lower,
                          std::optional<ast::Expr> upper, std::optional<ast::Expr> body,
                          bool nolimits = true) {
  ast::Integral in;
  in.lower = opt_box(std::move(lower));
  in.upper = opt_box(std::move(upper));
  in.body = opt_box(std::move(body));
  in.integral = kind;
  in.nolimits = nolimits;
  return ast::Expr(std::move(in));
}

inline ast::Expr limit(std::string name, std::optional<ast::Expr> lower, std::optional<ast::Expr> upper,
                       bool nolimits = false) {
  ast::Limit l;
  l.name = std::move(name);
  l.lower = opt_box(std::move(lower));
  l.upper = opt_box(std::move(upper));
  l.nolimits = nolimits;
  return ast::Expr(std::move(l));
}

inline ast::Expr math_op(ast::Expr body, std::optional<ast::Expr> lower, std::optional<ast::Expr> upper,
                         bool nolimits = false, bool unbraced = false) {
  ast::MathOp m;
  m.body = ast::box(std::move(body));
  m.lower = opt_box(std::move(lower));
  m.upper = opt_box(std::move(upper));
  m.nolimits = nolimits;
  m.unbraced = unbraced;
  return ast::Expr(std::move(m));
}

inline QvfWriter black_in_stream() {
  QvfWriter w;
  w.colours.black_defined = true;
  w.colours.next_colour_index = 2;
  return w;
}

struct Written {
  Bytes bytes;
  bool ok = false;
  WriteOutcome outcome;
  std::string error;
};

inline Written write(const ast::Expr& e, SizeLevel size, QvfWriter& w) {
  Written out;
  WriteResult r = write_expr(e, out.bytes, size, w);
  out.ok = r.ok();
  if (r.ok())
    out.outcome = *r;
  else
    out.error = r.error().message;
  return out;
}

// One row of a table-driven writer test: a tree written at a size into a
// stream that already holds black, the bytes it must give and the writer's
// outcome, with an optional set-up of the writer and check of its marks.
struct WriteCase {
  const char* name;
  ast::Expr expr;
  SizeLevel size;
  std::string bytes;
  bool black_after;
  SizeLevel size_after;
  std::function<void(QvfWriter&)> setup = nullptr;
  std::function<void(const QvfWriter&)> check = nullptr;
};

inline void run_write_case(const WriteCase& c) {
  QvfWriter w = black_in_stream();
  if (c.setup) c.setup(w);
  Written r = write(c.expr, c.size, w);
  ASSERT_TRUE(r.ok) << c.name << ": " << r.error;
  EXPECT_EQ(hex(r.bytes), hex(hx(c.bytes))) << c.name;
  EXPECT_EQ(r.outcome.black_in_force, c.black_after) << c.name;
  EXPECT_EQ(r.outcome.size_after, c.size_after) << c.name;
  if (c.check) c.check(w);
}

}  // namespace quorvix::qvf::test
