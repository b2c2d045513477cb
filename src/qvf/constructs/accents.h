// Accents, arrow accents, bars and negations.
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
WriteResult write_accent_node(const ast::Accent& node, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_arrow_accent_node(const ast::ArrowAccent& node, Bytes& out, SizeLevel size,
                                    QvfWriter& writer);
WriteResult write_over_underline_node(const ast::OverUnderline& node, Bytes& out, SizeLevel size,
                                      QvfWriter& writer);
WriteResult write_not_node(const ast::Not& node, Bytes& out, SizeLevel size, QvfWriter& writer);

// The relation `body` with the negation stroke.
Status write_not_relation(const ast::Expr& body, Bytes& out, QvfWriter& writer);

// An accent of `kind` over `body`.
WriteResult write_accent_expr(ast::AccentKind kind, const ast::Expr& body, Bytes& out, SizeLevel size,
                              QvfWriter& writer);

}  // namespace quorvix::qvf
