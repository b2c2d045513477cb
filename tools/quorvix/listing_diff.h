// Lines two record listings up: a longest-common-subsequence line diff in
// which offsets take no part, so that an inserted record shows as one added
// line instead of shifting everything after it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "quorvix/listing_render.h"

namespace quorvix::tools {

enum class DiffOp : unsigned char { kSame, kRemoved, kAdded };

struct DiffEntry {
  DiffOp op;
  std::size_t a;  // line index in the first listing (kSame, kRemoved)
  std::size_t b;  // line index in the second listing (kSame, kAdded)
};

// A shortest edit script between the two listings, in order. Lines compare
// by depth, kind and text. Uses linear memory in the listing lengths. When
// the lines between the common start and the common end are too many to
// align in reasonable time, they are all shown as removed and added and
// `exact` (if given) is set to false.
std::vector<DiffEntry> diff_listings(const Listing& a, const Listing& b, bool* exact = nullptr);

// The alignment limit: pairs of differing lines compared at most.
inline constexpr std::size_t kMaxAlignedLinePairs = 200'000'000;

struct DiffRenderOptions {
  // Unchanged lines shown around each change; negative shows every line.
  int context = 3;
  bool offsets = true;
  std::size_t a_stream_size = 0;
  std::size_t b_stream_size = 0;
  std::string a_label;  // shown after "--- "
  std::string b_label;  // shown after "+++ "
  bool exact = true;    // false: say that the middle was not aligned
};

// "--- A" and "+++ B" header lines, then hunks of " ", "-" and "+" lines
// with both offset columns, then a one-line summary.
std::string render_diff(const Listing& a, const Listing& b, const std::vector<DiffEntry>& script,
                        const DiffRenderOptions& options);

}  // namespace quorvix::tools
