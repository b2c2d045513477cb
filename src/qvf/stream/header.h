// The 12-byte stream header and the test for the translation-failed
// placeholder, which decides its options byte.
#pragma once

#include "ast/expr.h"
#include "common/bytes.h"

namespace quorvix::qvf {

inline constexpr std::size_t kHeaderSize = 12;

// True when the tree, through one-item sequences, Style bodies and
// environments of one row with one cell, is the failure text.
bool expr_is_translation_failed_placeholder(const ast::Expr& expr);

// Appends the header; the options byte is 0 for the placeholder, 1 otherwise.
void write_qvf_header(bool placeholder, Bytes& out);

}  // namespace quorvix::qvf
