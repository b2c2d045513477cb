// Templates: fractions, roots, stacked and underset forms, extensible arrows,
// braces, strike-outs and binomial piles. Each writes one template record
// whose slots are lines (see write_line); the files are split by construct
// family (fractions.cc, roots.cc, stacked.cc, xarrows.cc, braces.cc,
// strikes.cc, piles.cc).
#pragma once

#include <cstdint>
#include <string_view>

#include "ast/expr.h"
#include "common/bytes.h"
#include "common/result.h"
#include "qvf/writer/write_result.h"
#include "qvf/writer/writer_state.h"

namespace quorvix::qvf {

// One entry per node kind, called by write_expr.
WriteResult write_strike_node(const ast::Strike& node, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_fraction_node(const ast::Fraction& node, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_sqrt_node(const ast::Sqrt& node, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_root_node(const ast::Root& node, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_binomial_node(const ast::Binomial& node, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_brace_node(const ast::Brace& node, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_stackrel_node(const ast::Stackrel& node, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_underset_node(const ast::Underset& node, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_xarrow_node(const ast::XArrow& node, Bytes& out, SizeLevel size, QvfWriter& writer);

// The piles of the Binomial family: a bare pile (kind Pile), a pile in
// parentheses (Choose) and the binomial (Binom, see write_binom_pile).
WriteResult write_pile(ast::BinomialKind kind, const ast::Expr& upper, const ast::Expr& lower, Bytes& out,
                       SizeLevel size, QvfWriter& writer);
WriteResult write_binom_pile(const ast::Expr& upper, const ast::Expr& lower, Bytes& out, SizeLevel size,
                             QvfWriter& writer);

// Text-style forms selected by a Style of level Text; `restore` tells whether
// the size level is restored after the template.
WriteResult write_textstyle_fraction(const ast::Expr& numerator, const ast::Expr& denominator, Bytes& out,
                                     SizeLevel size, bool restore, QvfWriter& writer);
WriteResult write_textstyle_binom_pile(const ast::Expr& upper, const ast::Expr& lower, Bytes& out,
                                       SizeLevel size, bool restore, QvfWriter& writer);
WriteResult write_textstyle_parenthesized_pile(const ast::Expr& upper, const ast::Expr& lower, Bytes& out,
                                               SizeLevel size, bool restore, QvfWriter& writer);

}  // namespace quorvix::qvf
