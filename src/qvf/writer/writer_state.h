// QvfWriter: the per-conversion writer state threaded through every writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quorvix::qvf {

struct QvfWriter {
  // Colours.
  // Name -> COLOR index of the colours defined so far. Only names with a
  // definition get here, so the list stays a handful long.
  std::vector<std::pair<std::string, std::uint8_t>> colour_map;
  std::uint8_t next_colour_index = 1;  // stays at 255 once reached
  bool black_defined = false;

  // Fonts defined on demand in the middle of the stream.
  std::uint8_t calvane_math_one_typeface = 127;
  std::uint8_t calvane_math_two_typeface = 127;
  std::uint8_t calvane_fraktur_typeface = 127;
  std::uint8_t arial_typeface = 127;
  std::uint8_t bold_calvane_math_one_typeface = 127;
  std::uint8_t calvane_math_one_font_index = 6;
  bool calvane_math_one_defined = false;
  bool bold_calvane_math_one_defined = false;
  bool calvane_math_two_defined = false;
  bool calvane_fraktur_defined = false;
  bool arial_defined = false;
  bool typewriter_style_defined = false;

  // Context flags set before the body is written.
  bool script_sym_written = false;
  bool leading_sym_written = false;
  bool tree_starts_with_binomial = false;
  bool stackrel_in_line = false;
  bool fenced_matrix_at_tree_start = false;
  bool style_at_tree_start = false;
  bool limit_op_at_tree_start = false;
  bool colour_index_one_free = false;
  bool sequence_skips_colour = false;

  // Flags of the expression writer.
  bool named_colour_active = false;
  std::uint8_t named_colour_index = 0;
  bool line_opens_itself = false;
  bool after_item = false;
  bool after_raw_item = false;
  bool limit_before_raw = false;
  bool integral_before_raw = false;
  bool binomial_colour_written = false;
  bool substack_environment_mode = false;

  // Current recursion depth of write_expr (bounded, see kMaxWriterDepth).
  std::size_t depth = 0;
};

}  // namespace quorvix::qvf
