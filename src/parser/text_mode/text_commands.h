// The handlers of the commands whose argument is text or is shown behind the
// command kept as raw TeX: \text, the text boxes, the wrappers, \verb,
// \hspace, \char and the operator names. The command table calls them with
// the parser just after the command name.
#pragma once

#include "ast/expr.h"
#include "common/result.h"
#include "parser/commands/named_commands.h"

namespace quorvix::parser {

// \text{...} (text_command.cc).
Result<ast::Expr> text_command(Parser& p, const NamedCommand& command);
// \mbox and \hbox (text_boxes.cc).
Result<ast::Expr> text_box_command(Parser& p, const NamedCommand& command);

// Wrappers (wrappers.cc). Codes: the number of colour arguments of a box.
Result<ast::Expr> color_box_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> html_wrapper_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> overlap_wrapper_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> raw_prefix_wrapper_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> visible_wrapper_command(Parser& p, const NamedCommand& command);

// \verb, \hspace and \char (verbatim.cc).
Result<ast::Expr> verb_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> hspace_command(Parser& p, const NamedCommand& command);
Result<ast::Expr> char_code_command(Parser& p, const NamedCommand& command);

// \operatorname and \operatornamewithlimits (operator_names.cc). Code 1:
// the limits go above and below.
Result<ast::Expr> operator_name_command(Parser& p, const NamedCommand& command);

}  // namespace quorvix::parser
