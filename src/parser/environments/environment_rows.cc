// The rows of an environment body: cells separated by `&`, rows ended by
// `\\`, the body ended by \end{name}. Whitespace is kept beside the rows (in
// front of each row, before each `&`, before the \end) so that the
// environment can be written back as it was typed; align rows also keep
// their numbering marks.
//
// The reader's state lives on the heap: only the loop that parses cells, and
// through them nested environments, stays on the stack.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "parser/commands/infix.h"
#include "parser/environments/environments.h"
#include "parser/helpers.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

bool at_annotation(const Parser& p) {
  return control_word_follows(p, U"label") || control_word_follows(p, U"notag") ||
         control_word_follows(p, U"nonumber");
}

bool cell_stops(const Parser& p, RowRules rules) {
  if (p.at_end()) return true;
  const char32_t c = *p.peek();
  if (rules == RowRules::RowStack) return c == U'}' || p.starts_with("\\\\");
  if (c == U'&') return true;
  if (c != U'\\') return false;
  if (p.peek(1) == U'\\' || control_word_follows(p, U"end")) return true;
  return rules == RowRules::Align && at_annotation(p);
}

[[gnu::noinline]] Result<Expr> cell_items(Parser& p, ExprList& items) {
  // Whitespace after the last atom belongs to the separator that follows.
  p.pending_space().clear();
  return ast::make_sequence(std::move(items));
}

[[gnu::noinline]] Result<Expr> cell_nesting_failure() { return nesting_error(); }

[[gnu::noinline]] void combine_cell_infix(Result<Expr>& rest, InfixCommand command, ExprList& left) {
  if (rest.ok()) rest = infix_expr(command, left, std::move(rest.value()));
}

// An infix command in a cell: the rest of the cell is its right side, one
// nesting level down.
[[gnu::noinline]] Result<Expr> parse_cell_infix(Parser& p, ExprList& items, RowRules rules) {
  Parser::NestingScope scope(p);
  if (scope.exceeded()) return cell_nesting_failure();
  const InfixCommand command = p.consume_infix_command().value_or(InfixCommand::Over);
  p.pending_space().clear();  // the whitespace before the command goes with it
  Result<Expr> rest = parse_sequence_until_environment_stop(p, rules);
  combine_cell_infix(rest, command, items);
  return rest;
}

// The failure marker met in a cell is the whole cell.
[[gnu::noinline]] void cell_ended_by_atom(Result<Expr>& atom) {
  if (atom.ok()) atom = ast::make_translation_failed();
}

class RowReader {
 public:
  RowReader(Parser& p, const std::string& name, RowRules rules, GridBody& body)
      : p_(p), name_(name), rules_(rules), body_(body) {}

  // At the start of a row: true when a cell follows, false when the body is
  // over (finish() tells how).
  [[gnu::noinline]] bool start_row() {
    std::string ws = p_.consume_raw_whitespace();
    if (control_word_follows(p_, U"end")) return close_body(std::move(ws));
    if (rules_ == RowRules::Array) {
      std::string prefix;
      read_array_row_prefixes(ws, prefix);
      // Rules drawn under the last row start no row of their own.
      if (control_word_follows(p_, U"end")) return close_body(std::move(ws));
      ws = std::move(prefix);
    }
    body_.trivia.row_leading_space.push_back(std::move(ws));
    return true;
  }

  // Takes a parsed cell: true when another cell of the body follows.
  [[gnu::noinline]] bool end_cell(Result<Expr>& cell) {
    if (!cell.ok()) return fail(std::move(cell).error());
    // An environment kept raw inside the cell met the \end of one kept raw
    // around this one: that closing ends every body in between, this one too.
    if (p_.closed_shell() != Parser::kNoClosedShell) return fail(missing_separator());
    cells_.push_back(std::move(cell.value()));
    if (rules_ == RowRules::Align && !read_annotations()) return false;
    std::string ws = p_.consume_raw_whitespace();
    if (p_.peek() == U'&') {
      separators_.push_back(ws.empty() ? recover_environment_separator_prefix(p_) : std::move(ws));
      p_.next_char();
      return true;
    }
    if (p_.starts_with("\\\\")) {
      p_.set_pos(p_.pos() + 2);
      close_row();
      return start_row();
    }
    if (control_word_follows(p_, U"end")) {
      close_row();
      return close_body(std::move(ws));
    }
    return fail(missing_separator());
  }

  [[gnu::noinline]] Status finish() {
    if (!status_.ok()) return status_;
    if (rules_ == RowRules::Align) {
      finalize_single_row_environment_annotations(body_);
      finalize_multirow_environment_annotations(body_);
    }
    if (rules_ == RowRules::Array && body_.rows.empty()) {
      // An empty array still has one (empty) cell.
      body_.rows.emplace_back();
      body_.rows.back().push_back(ast::make_sequence({}));
      body_.trivia.row_leading_space.emplace_back();
      body_.trivia.cell_leading_space.emplace_back();
    }
    return Status();
  }

 private:
  Error missing_separator() const { return make_error("expected &, \\\\, or \\end{" + name_ + "}"); }

  bool fail(Error error) {
    status_ = Status(std::move(error));
    return false;
  }

  // At \end: the whitespace before it is the body's closing text.
  bool close_body(std::string ws) {
    body_.trivia.trailing_space = std::move(ws);
    Status end = consume_end_environment(p_, name_);
    if (!end.ok()) return fail(std::move(end).error());
    return false;
  }

  void close_row() {
    body_.rows.push_back(std::move(cells_));
    body_.trivia.cell_leading_space.push_back(std::move(separators_));
    if (rules_ == RowRules::Align) body_.trivia.row_annotations.push_back(std::move(annotation_));
    cells_.clear();
    separators_.clear();
    annotation_ = ast::EnvironmentRowAnnotation{};
  }

  // \label, \notag and \nonumber after a cell of an align row. False when a
  // label cannot be read.
  bool read_annotations() {
    while (at_annotation(p_)) {
      if (control_word_follows(p_, U"label")) {
        p_.set_pos(p_.pos() + 6);
        Result<Expr> label = p_.parse_required_group("environment row label");
        if (!label.ok()) return fail(std::move(label).error());
        annotation_.has_label = true;
      } else {
        const bool notag = control_word_follows(p_, U"notag");
        p_.set_pos(p_.pos() + (notag ? 6 : 9));
        annotation_.no_number = true;
        annotation_.no_number_command = notag ? "\\notag" : "\\nonumber";
      }
      p_.pending_space().clear();
      // Marks may stand apart: \label{x} \notag.
      const std::size_t after = p_.pos();
      p_.skip_ws();
      if (!at_annotation(p_)) p_.set_pos(after);
    }
    return true;
  }

  // \hline and \hdashline at the start of an array row: a \hline vanishes,
  // a \hdashline is kept raw with the whitespace before it. Whitespace left
  // in front of \hfil, \hfill or \hfilll is kept too.
  void read_array_row_prefixes(std::string& ws, std::string& prefix) {
    for (;;) {
      if (control_word_follows(p_, U"hline")) {
        p_.set_pos(p_.pos() + 6);
      } else if (control_word_follows(p_, U"hdashline")) {
        p_.set_pos(p_.pos() + 10);
        prefix += ws;
        prefix += "\\hdashline";
      } else {
        break;
      }
      ws = p_.consume_raw_whitespace();
    }
    if (!ws.empty() && (control_word_follows(p_, U"hfil") || control_word_follows(p_, U"hfill") ||
                        control_word_follows(p_, U"hfilll")))
      prefix += ws;
  }

  Parser& p_;
  const std::string& name_;
  RowRules rules_;
  GridBody& body_;
  ExprList cells_;
  ast::TextList separators_;
  ast::EnvironmentRowAnnotation annotation_;
  Status status_;
};

[[gnu::noinline]] ast::node_pool::PooledPtr<RowReader> open_rows(Parser& p, const std::string& name,
                                                                 RowRules rules, GridBody& body) {
  return ast::node_pool::make_pooled<RowReader>(p, name, rules, body);
}

}  // namespace

Result<Expr> parse_sequence_until_environment_stop(Parser& p, RowRules rules) {
  ExprList items;
  for (;;) {
    std::string ws = p.consume_raw_whitespace();
    if (cell_stops(p, rules)) return cell_items(p, items);
    if (p.infix_command_follows()) return parse_cell_infix(p, items, rules);
    Result<Expr> atom = p.parse_complete_atom();
    if (!take_body_atom(items, atom, ws)) {
      cell_ended_by_atom(atom);
      return atom;
    }
  }
}

Status parse_environment_rows(Parser& p, const std::string& name, RowRules rules, GridBody& body) {
  const ast::node_pool::PooledPtr<RowReader> reader = open_rows(p, name, rules, body);
  if (reader->start_row()) {
    for (;;) {
      Result<Expr> cell = parse_sequence_until_environment_stop(p, rules);
      if (!reader->end_cell(cell)) break;
    }
  }
  return reader->finish();
}

void finalize_single_row_environment_annotations(GridBody& body) {
  if (body.rows.size() != 1 || body.trivia.row_annotations.empty()) return;
  std::optional<ast::Text>& command = body.trivia.row_annotations.front().no_number_command;
  if (!command || body.rows.front().empty()) return;
  Expr& cell = body.rows.front().back();
  if (cell.get_if<ast::Sequence>() == nullptr) {
    ExprList items;
    items.push_back(std::move(cell));
    cell = ast::make_sequence(std::move(items));
  }
  cell.as<ast::Sequence>().items.push_back(ast::make_raw(std::move(*command)));
  command.reset();
}

namespace {

// A trailing \tag piece: a Sequence that starts with RawTex "\tag" and holds
// more after it.
bool is_tag_piece(const Expr& e) {
  const auto* seq = e.get_if<ast::Sequence>();
  if (seq == nullptr || seq->items.size() < 2) return false;
  const auto* raw = seq->items.front().get_if<ast::RawTex>();
  return raw != nullptr && raw->text == "\\tag";
}

}  // namespace

void finalize_multirow_environment_annotations(GridBody& body) {
  if (body.rows.size() < 2) return;
  auto& annotations = body.trivia.row_annotations;
  const std::size_t n = std::min(body.rows.size(), annotations.size());
  for (std::size_t r = 0; r < n; ++r) {
    if (annotations[r].label || body.rows[r].empty()) continue;
    auto* cell = body.rows[r].back().get_if<ast::Sequence>();
    if (cell == nullptr || cell->items.empty() || !is_tag_piece(cell->items.back())) continue;
    ExprList tag = std::move(cell->items.back().as<ast::Sequence>().items);
    cell->items.pop_back();
    tag.erase(tag.begin());
    annotations[r].label = ast::box(ast::collapse_single_sequence(ast::make_sequence(std::move(tag))));
  }
}

}  // namespace quorvix::parser
