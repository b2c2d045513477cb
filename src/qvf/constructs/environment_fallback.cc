// Environments the format has no layout for (split, aligned, gather,
// gathered): written back as TeX, "\begin" and the name, the cells with the
// whitespace, separators and row breaks kept around them, then "\end" and
// the name, the cells themselves translated.
#include <string>
#include <string_view>

#include "qvf/constructs/matrix_layout.h"
#include "qvf/stream/records.h"
#include "qvf/tables/chars.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/predicates.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

const std::string* entry(const ast::TextList& texts, std::size_t i) {
  return i < texts.size() && !texts[i].empty() ? &texts[i] : nullptr;
}

struct FallbackRun {
  Bytes& out;
  SizeLevel s;
  QvfWriter& w;
  WriteOutcome state;      // after the last written cell
  bool after_raw = false;  // raw text was the last thing written

  Status raw(std::string_view text) {
    QV_RETURN_IF_ERROR(write_text_code_units(text, 0x80, out, w.source_encoding));
    after_raw = true;
    return Status();
  }
  Status raw_if(const std::string* text) { return text != nullptr ? raw(*text) : Status(); }

  // The name, black, as ordinary characters.
  Status name(std::string_view text) {
    select_black(out, w);
    for (const char c : text) QV_RETURN_IF_ERROR(write_char(static_cast<unsigned char>(c), out, w));
    state = WriteOutcome{true, s};
    after_raw = false;
    return Status();
  }

  void restore_size() {
    if (state.size_after == s) return;
    write_size_record(s, out);
    state.size_after = s;
  }

  // One cell: spaces alone as they are, anything but a line layout object
  // in black, written as an item that follows what stands before it.
  Status cell(const Expr& c) {
    if (is_empty_sequence(c)) return Status();
    if (expr_is_only_spaces(c)) {
      write_only_spaces(c, out);
      state = WriteOutcome{false, s};
      after_raw = false;
      return Status();
    }
    const bool lays_out_itself = expr_starts_with_line_layout_object(c);
    if (!lays_out_itself) select_black(out, w);
    const ScopedValue<ItemFlags> item(w.item, ItemFlags{true, after_raw});
    const ScopedValue<LineFlags> line(w.line, LineFlags{lays_out_itself, false});
    QV_ASSIGN_OR_RETURN(state, write_expr(c, out, s, w));
    after_raw = false;
    return Status();
  }
};

}  // namespace

WriteResult write_environment_fallback(const EnvironmentFallback& d, const Environment& env, Bytes& out,
                                       SizeLevel size, QvfWriter& writer) {
  const EnvironmentTrivia& t = *env.trivia;
  FallbackRun run{out, size, writer, WriteOutcome{false, size}};
  if (writer.item.after_item && t.opening_raw) QV_RETURN_IF_ERROR(run.raw(*t.opening_raw));
  QV_RETURN_IF_ERROR(run.raw("\\begin"));
  QV_RETURN_IF_ERROR(run.name(d.name));
  {
    // Limits stacked with \substack are drawn inside these cells.
    const ScopedValue<bool> mode(writer.substack_environment_mode, true);
    for (std::size_t r = 0; r < env.rows.size(); ++r) {
      if (r > 0) QV_RETURN_IF_ERROR(run.raw(d.row_break));
      QV_RETURN_IF_ERROR(run.raw_if(entry(t.row_leading_space, r)));
      const ExprList& row = env.rows[r];
      for (std::size_t j = 0; j < row.size(); ++j) {
        run.restore_size();
        if (run.state.black_in_force) {
          color_default(out);
          run.state.black_in_force = false;
        }
        if (j > 0) {
          if (r < t.cell_leading_space.size())
            QV_RETURN_IF_ERROR(run.raw_if(entry(t.cell_leading_space[r], j - 1)));
          QV_RETURN_IF_ERROR(run.raw(d.separator));
        }
        QV_RETURN_IF_ERROR(run.cell(row[j]));
      }
    }
  }
  run.restore_size();
  if (!t.trailing_space.empty()) QV_RETURN_IF_ERROR(run.raw(t.trailing_space));
  QV_RETURN_IF_ERROR(run.raw(d.closing));
  QV_RETURN_IF_ERROR(run.name(d.name));
  return run.state;
}

}  // namespace quorvix::qvf
