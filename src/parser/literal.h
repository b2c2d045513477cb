// Literal characters: the pieces that non-ASCII input becomes once encoded
// with the TeX-source encoder.
#pragma once

#include <string_view>
#include <vector>

#include "ast/expr.h"

namespace quorvix::parser {

// Splits encoded bytes: each run of bytes at or above 0x80 becomes one RawTex
// (every byte carried as the character of the same number, U+0080..U+00FF),
// every byte below 0x80 becomes a Char of that byte.
ast::ExprList split_encoded_literal_bytes(std::string_view bytes);

}  // namespace quorvix::parser
