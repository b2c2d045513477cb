// The grids of plain TeX: \matrix{a & b \cr c & d} and its relatives
// (\pmatrix, \array, \eqalign, \eqalignno, \leqalignno, \cases). They are
// kept as raw TeX with their cells shown: the command, the braces, each `&`
// and each row break stay raw between the translated cells. \cases is cut
// into cells as a physics matrix body is: at `&` and `\\` outside braces.
#include <string>
#include <utility>
#include <vector>

#include "parser/chars.h"
#include "parser/commands/named_commands.h"
#include "parser/environments/environments.h"
#include "parser/helpers.h"
#include "parser/physics/physics.h"
#include "parser/text_mode/arguments.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

bool opens_pair(char32_t c) { return c == U'(' || c == U'[' || c == U'{'; }

char32_t closer_of(char32_t open) {
  switch (open) {
    case U'(': return U')';
    case U'[': return U']';
    default: return U'}';
  }
}

// Cuts the grid text into cells and row breaks. Separators inside (...),
// [...], {...} and |...| belong to the cell that holds them.
class GridScan {
 public:
  GridScan(Parser& p, std::u32string_view text) : p_(p), text_(text) {}

  Status run(std::vector<ast::HybridPart>& parts) {
    parts_ = &parts;
    while (at_ < text_.size()) {
      const char32_t c = text_[at_];
      if (c == U'\\') {
        QV_RETURN_IF_ERROR(backslash());
        continue;
      }
      ++at_;
      if (c == U'&' && open_.empty()) {
        QV_RETURN_IF_ERROR(end_cell(at_ - 1, /*separator=*/true));
        cell_start_ = at_;
      } else if (c == U'|' && !open_.empty() && open_.back() == U'|') {
        open_.pop_back();
      } else if (c == U'|' || opens_pair(c)) {
        open_.push_back(c);
      } else if (!open_.empty() && open_.back() != U'|' && c == closer_of(open_.back())) {
        open_.pop_back();
      }
    }
    return end_cell(text_.size(), /*separator=*/false);
  }

 private:
  // A control sequence: `\\` and \cr end a row at the outer level; any
  // other command (\& included) is part of its cell.
  Status backslash() {
    const std::size_t start = at_++;
    if (at_ < text_.size() && text_[at_] == U'\\') {
      ++at_;
      if (!open_.empty()) return Status();
      QV_RETURN_IF_ERROR(end_cell(start, /*separator=*/false));
      std::string raw = "\\\\";
      if (word_at(U"hdashline")) {
        raw += "\\hdashline";
        at_ += 10;
      } else if (word_at(U"cr")) {
        raw += "\\cr";
        at_ += 3;
      }
      row_break(std::move(raw));
      return Status();
    }
    const std::size_t letters = at_;
    while (at_ < text_.size() && is_ascii_letter(text_[at_])) ++at_;
    if (at_ == letters) {
      if (at_ < text_.size()) ++at_;  // an escaped character
      return Status();
    }
    if (open_.empty() && text_.substr(letters, at_ - letters) == U"cr") {
      QV_RETURN_IF_ERROR(end_cell(start, /*separator=*/false));
      row_break("\\cr");
    }
    return Status();
  }

  // True at a backslash and `word` not followed by a letter.
  bool word_at(std::u32string_view word) const {
    if (at_ >= text_.size() || text_[at_] != U'\\') return false;
    const std::u32string_view rest = text_.substr(at_ + 1);
    return rest.substr(0, word.size()) == word &&
           (rest.size() == word.size() || !is_ascii_letter(rest[word.size()]));
  }

  void row_break(std::string raw) {
    append_hybrid_raw(*parts_, raw);
    while (at_ < text_.size() && is_whitespace(text_[at_])) ++at_;
    cell_start_ = at_;
  }

  // The cell from cell_start_ to `end`: shown when not blank; its trailing
  // whitespace goes with the `&` after it.
  Status end_cell(std::size_t end, bool separator) {
    std::size_t content_end = end;
    while (content_end > cell_start_ && is_whitespace(text_[content_end - 1])) --content_end;
    if (content_end > cell_start_) {
      Result<Expr> cell =
          p_.parse_macro_replacement(encode_utf8(text_.substr(cell_start_, content_end - cell_start_)));
      if (!cell.ok()) return std::move(cell).error();
      append_hybrid_line(*parts_, std::move(cell.value()));
    }
    if (separator)
      append_hybrid_raw(*parts_, encode_utf8(text_.substr(content_end, end - content_end)) + "&");
    cell_start_ = end;
    return Status();
  }

  Parser& p_;
  std::u32string_view text_;
  std::vector<ast::HybridPart>* parts_ = nullptr;
  std::size_t at_ = 0;
  std::size_t cell_start_ = 0;
  std::u32string open_;  // the pairs open around the position, innermost last
};

}  // namespace

Result<Expr> parse_old_tex_matrix_raw_content(Parser& p, std::string_view name, std::string_view text) {
  const std::u32string chars = decode_utf8(text);
  std::vector<ast::HybridPart> parts;
  std::string prefix = "\\";
  prefix += name;
  prefix += "{";
  append_hybrid_raw(parts, prefix);
  GridScan scan(p, chars);
  Status scanned = scan.run(parts);
  if (!scanned.ok()) return std::move(scanned).error();
  append_hybrid_raw(parts, "}");
  return Expr(ast::Hybrid{std::move(parts)});
}

Result<Expr> plain_tex_grid_command(Parser& p, const NamedCommand& command) {
  const std::size_t start = p.pos();
  std::string label(command.name);
  label += " content";
  Result<std::string> text = p.parse_raw_group(label);
  if (!text.ok()) {
    p.set_pos(start);
    return raw_command_expr(command.name);
  }
  return parse_old_tex_matrix_raw_content(p, command.name, text.value());
}

Result<Expr> cases_command(Parser& p, const NamedCommand& command) {
  const std::size_t start = p.pos();
  Result<TextSpan> span = read_raw_group_span(p, "cases content");
  if (!span.ok()) {
    p.set_pos(start);
    return raw_command_expr(command.name);
  }
  std::vector<ast::HybridPart> parts;
  append_hybrid_raw(parts, "\\cases{");
  Status cells = parse_physics_matrix_raw_content(p, *span, parts);
  if (!cells.ok()) return std::move(cells).error();
  append_hybrid_raw(parts, "}");
  return Expr(ast::Hybrid{std::move(parts)});
}

}  // namespace quorvix::parser
