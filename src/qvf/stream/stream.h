// The QVF stream as a whole and its "Equation Native" framing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ast/expr.h"
#include "common/bytes.h"
#include "common/result.h"
#include "quorvix_ansi/encode.h"

namespace quorvix::qvf {

// Writes the complete QVF stream for `tree`, its source text and text runs
// in `encoding`; `prefs_path` replaces the built-in definitions when given.
// A tree deeper than the writer goes is refused before it is written; a
// caller that knows a bound on the tree's depth (`depth_bound`, levels
// counting the root; 0 for none) spares the walk that finds out when the
// bound is within the writer's.
Result<Bytes> write_qvf_with_prefs(std::string_view normalized, const ast::Expr& tree,
                                   const std::optional<std::string>& prefs_path,
                                   const quorvix_ansi::SourceEncoding& encoding,
                                   std::uint64_t depth_bound = 0);
// The same in the encoding the environment names at this moment.
Result<Bytes> write_qvf_with_prefs(std::string_view normalized, const ast::Expr& tree,
                                   const std::optional<std::string>& prefs_path);

// Prefixes the stream with its 28-byte framing header.
Result<Bytes> write_equation_native(const Bytes& qvf);

}  // namespace quorvix::qvf
