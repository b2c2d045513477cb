// Environments (\begin{name} ... \end{name}) and the grid-shaped commands:
// \substack, \cline and the plain-TeX grids (\matrix, \pmatrix, \cases ...).
//
// A supported environment is read into rows of cells. When its body cannot
// be read (a missing separator, a mismatched \end, a failure inside a cell)
// the parser returns to just after \begin{name} and keeps the environment as
// raw TeX around its visible body (Parser::parse_unsupported_environment_with_shell).
// Each supported environment is one attempt in the parser's memo of failed
// attempts, so an enclosing construct that reads the same text again never
// repeats a failed body.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ast/expr.h"
#include "common/result.h"
#include "parser/parser.h"

namespace quorvix::parser {

// --- Looking at the input -----------------------------------------------------

// True when a backslash and the control word `word` (not followed by a
// letter) stand at the parser's position.
bool control_word_follows(const Parser& p, std::u32string_view word);
// True at \end{name} followed by its closing brace (nothing moves).
bool starts_end_environment(const Parser& p, std::string_view name);
// The whitespace that stands directly before the parser's position.
std::string recover_environment_separator_prefix(const Parser& p);
// How an environment kept raw writes its \begin and \end: a name that is a
// command stays glued to them, any other name is shown as characters.
EnvironmentShellMode shell_mode_of_name(std::string_view name);

// Reads \end{name}, or fails with the reason it is not there.
Status consume_end_environment(Parser& p, std::string_view name);

// --- Rows and cells ---------------------------------------------------------

// What a row reader does beyond cells, separators and row breaks.
enum class RowRules : std::uint8_t {
  Plain,  // matrices, cases, gathers, split, subarray
  Align,  // align and alignat: row annotations (\label, \notag, \nonumber)
  Array,  // array: \hline, \hdashline and \hfil prefixes at the start of rows
  // The rows of \substack{...}: one cell each, ended by `\\` or the
  // closing brace (no `&`, no \end).
  RowStack,
};

struct GridBody {
  ast::Rows rows;
  ast::EnvironmentTrivia trivia;
};

// Reads the rows of an environment into `body`, up to and including
// \end{name}.
Status parse_environment_rows(Parser& p, const std::string& name, RowRules rules, GridBody& body);

// One cell: a Sequence of atoms up to `&`, `\\`, \end or the end of the
// input (for Align rows also up to \label, \notag and \nonumber; for
// RowStack rows up to `\\`, `}` or the end only); an infix command (\over
// ...) in it builds structure.
Result<ast::Expr> parse_sequence_until_environment_stop(Parser& p, RowRules rules);

// The numbering marks of align rows, applied once the rows are read: a lone
// row keeps its \notag as raw TeX; in several rows a trailing \tag piece of
// the last cell becomes the row's label.
void finalize_single_row_environment_annotations(GridBody& body);
void finalize_multirow_environment_annotations(GridBody& body);

// --- Entry ------------------------------------------------------------------

// After \begin{name}: the environment's tree, or the environment kept raw.
// Fails only with failures that end the whole parse (nesting too deep).
Result<ast::Expr> parse_environment(Parser& p, const std::string& name);

// An array after \begin{array}: its column specifier and rows. Without a
// `paired` \end only an unfinished bare specifier can be read.
Result<ast::Expr> parse_array_environment(Parser& p, bool paired);
// A subarray after \begin{subarray}.
Result<ast::Expr> parse_subarray_environment(Parser& p);

// True for the environments that accept a trailing star.
bool supports_starred_environment_base(std::string_view base);

// The rows of \substack{...}, after the command name.
Result<ast::Rows> parse_row_stack_group(Parser& p);

// The grid text of a plain-TeX matrix command cut into cells and rows: the
// cells shown, `&`, \cr and \\ kept raw between them.
Result<ast::Expr> parse_old_tex_matrix_raw_content(Parser& p, std::string_view name, std::string_view text);

}  // namespace quorvix::parser
