// Parsing a stretch of the parser's own text as a text of its own.
#include <memory>

#include "parser/char_debug.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

Parser::Parser(Parser& parent, std::size_t begin, std::size_t end)
    : chars_(parent.chars_.substr(begin, end - begin)),
      environment_stack_(&parent.environment_stack_),
      shell_stack_(&parent.shell_stack_),
      definitions_(&parent.definitions_),
      encoding_(parent.encoding_),
      depth_(parent.depth_ + 1),
      nesting_(parent.nesting_ + 1),
      work_done_(parent.work_done_),
      work_allowance_(parent.work_allowance_),
      brace_matches_(parent.brace_matches_, parent.chars_, begin),
      delimiter_closers_(parent.delimiter_closers_, parent.chars_, begin) {}

namespace {

[[gnu::noinline]] void finish_range(Result<Expr>& result, Parser& sub) {
  if (!result.ok()) return;
  sub.skip_ws();
  if (!sub.at_end())
    result = make_error("unexpected character in macro replacement " + optional_char_debug(sub.peek()));
}

[[gnu::noinline]] Result<Expr> nesting_failure() { return nesting_error(); }

}  // namespace

Result<Expr> Parser::parse_text_range(std::size_t begin, std::size_t end, std::string_view hidden_macro) {
  // On the heap: this sits once per level of nested ranges.
  const ast::node_pool::PooledPtr<Parser> sub = ast::node_pool::make_pooled<Parser>(*this, begin, end);
  if (!hidden_macro.empty()) sub->remove_macro(hidden_macro);
  Result<Expr> result =
      sub->nesting() > kMaxNestingDepth ? nesting_failure() : sub->parse_sequence(std::nullopt);
  finish_range(result, *sub);
  return result;
}

}  // namespace quorvix::parser
