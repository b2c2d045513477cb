// QvfWriter: the per-conversion writer state threaded through every writer.
// Its parts differ in how long what they hold stays true: the colours and
// fonts already in the stream last for the whole stream; what the tree starts
// with is worked out once before the body and read by the writer the tree
// starts with; marks are left by one writer for a later one that clears
// them; the flags of the line and of the item being written are put back by
// a guard however the write returns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "quorvix_ansi/encode.h"
#include "qvf/writer/font_slots.h"

namespace quorvix::qvf {

// The colours defined in the stream so far and the named colour in force.
struct ColourState {
  // Name -> COLOR index of the named colours defined so far. Only names with
  // a definition get here, so the list stays a handful long.
  std::vector<std::pair<std::string, std::uint8_t>> colour_map;
  std::uint8_t next_colour_index = 1;   // stays at 255 once reached
  bool black_defined = false;           // the black COLOR_DEF is in the stream
  bool named_colour_active = false;     // a Color node selected a named colour still in force
  std::uint8_t named_colour_index = 0;  // the COLOR index of that colour

  // COLOR 1 is in the stream: index 1 is taken, named colours start at 2.
  void note_colour_one() {
    if (next_colour_index == 1) next_colour_index = 2;
  }
};

// What the tree starts with, worked out once before the body is written.
// Each flag is read and cleared by the writer the tree starts with.
struct TreeStartContext {
  bool tree_starts_with_binomial = false;
  bool fenced_matrix_at_tree_start = false;
  bool style_at_tree_start = false;  // no FULL record is needed after the leading Style
  bool limit_op_at_tree_start = false;
  bool colour_index_one_free = false;  // the first named colour takes COLOR index 1
  // The tree starts with an alignment that opens the top-level LINE (or
  // PILE) itself; the stream's closing records close it.
  bool alignment_closed_by_stream = false;
};

// Marks one writer leaves for a later one, which reads and clears them.
struct PendingMarks {
  bool script_sym_written = false;   // SYM written for a line starting with a big-symbol script
  bool leading_sym_written = false;  // SYM written for a leading sized delimiter or group
  bool stackrel_in_line = false;     // the line starts with a Stackrel: no COLOR 0 in front of it
  // The limit template being written must not restore the size or select
  // black after itself (raw TeX follows, or the line is that limit).
  bool limit_before_raw = false;
  // The item is an Integral without operand with `nolimits` set, and raw TeX follows.
  bool integral_before_raw = false;
  // The sequence writer chose the colour for a parenthesized Binomial item.
  bool binomial_colour_written = false;
};

// Flags of the line being written; write_line puts the previous values back.
struct LineFlags {
  bool line_opens_itself = false;      // the line starts with a self-opening construct
  bool sequence_skips_colour = false;  // the next sequence writes no colour before its first item
};

// Flags of the item being written; the sequence writer puts the previous
// values back after each item.
struct ItemFlags {
  bool after_item = false;      // the item is not the first of its sequence
  bool after_raw_item = false;  // the item before it is a RawTex
};

struct QvfWriter {
  // A writer for text runs in the encoding the environment names now, and
  // one for the encoding its conversion chose.
  QvfWriter() = default;
  explicit QvfWriter(quorvix_ansi::SourceEncoding encoding) : source_encoding(std::move(encoding)) {}

  // The encoding of text runs.
  quorvix_ansi::SourceEncoding source_encoding = quorvix_ansi::SourceEncoding::from_environment();
  ColourState colours;
  FontSlots fonts;
  TreeStartContext tree_start;
  PendingMarks marks;
  LineFlags line;
  ItemFlags item;
  // Cells of an environment are being written by the environment fallback;
  // set for the duration of those cells.
  bool substack_environment_mode = false;
  // Current recursion depth of write_expr (bounded, see kMaxWriterDepth).
  std::size_t depth = 0;
};

// Reads a one-shot flag and clears it.
inline bool take(bool& flag) { return std::exchange(flag, false); }

// Gives `slot` a new value for the lifetime of the guard and puts the previous
// value back however the scope is left, error returns included.
template <class T>
class [[nodiscard]] ScopedValue {
 public:
  ScopedValue(T& slot, T value) : slot_(slot), saved_(std::exchange(slot, std::move(value))) {}
  ~ScopedValue() { slot_ = std::move(saved_); }
  ScopedValue(const ScopedValue&) = delete;
  ScopedValue& operator=(const ScopedValue&) = delete;

 private:
  T& slot_;
  T saved_;
};

}  // namespace quorvix::qvf
