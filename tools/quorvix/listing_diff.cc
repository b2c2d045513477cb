#include "quorvix/listing_diff.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <unordered_map>

namespace quorvix::tools {

namespace {

// Hirschberg's divide-and-conquer LCS over line ids: O(n·m) time, linear
// memory, recursion depth logarithmic in the first listing's length.
class EditScript {
 public:
  EditScript(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) : a_(a), b_(b) {}

  std::vector<DiffEntry> run() {
    solve(0, a_.size(), 0, b_.size());
    return std::move(out_);
  }

 private:
  void same(std::size_t i, std::size_t j) { out_.push_back({DiffOp::kSame, i, j}); }
  void removed(std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) out_.push_back({DiffOp::kRemoved, i, 0});
  }
  void added(std::size_t from, std::size_t to) {
    for (std::size_t j = from; j < to; ++j) out_.push_back({DiffOp::kAdded, 0, j});
  }

  void solve(std::size_t a0, std::size_t a1, std::size_t b0, std::size_t b1) {
    while (a0 < a1 && b0 < b1 && a_[a0] == b_[b0]) same(a0++, b0++);
    std::size_t suffix = 0;
    while (a1 - suffix > a0 && b1 - suffix > b0 && a_[a1 - 1 - suffix] == b_[b1 - 1 - suffix]) ++suffix;
    const std::size_t a_end = a1 - suffix;
    const std::size_t b_end = b1 - suffix;
    if (a0 == a_end) {
      added(b0, b_end);
    } else if (b0 == b_end) {
      removed(a0, a_end);
    } else if (a_end - a0 == 1) {
      const auto it = std::find(b_.begin() + static_cast<std::ptrdiff_t>(b0),
                                b_.begin() + static_cast<std::ptrdiff_t>(b_end), a_[a0]);
      if (it == b_.begin() + static_cast<std::ptrdiff_t>(b_end)) {
        removed(a0, a_end);
        added(b0, b_end);
      } else {
        const auto j = static_cast<std::size_t>(it - b_.begin());
        added(b0, j);
        same(a0, j);
        added(j + 1, b_end);
      }
    } else {
      const std::size_t mid = a0 + (a_end - a0) / 2;
      const std::size_t m = b_end - b0;
      std::vector<std::uint32_t> forward = lcs_row(a0, mid, b0, b_end, false);
      std::vector<std::uint32_t> backward = lcs_row(mid, a_end, b0, b_end, true);
      std::size_t best = 0;
      std::uint32_t best_len = 0;
      for (std::size_t k = 0; k <= m; ++k) {
        const std::uint32_t len = forward[k] + backward[m - k];
        if (len > best_len || k == 0) {
          best_len = len;
          best = k;
        }
      }
      forward = {};
      backward = {};
      solve(a0, mid, b0, b0 + best);
      solve(mid, a_end, b0 + best, b_end);
    }
    for (std::size_t k = 0; k < suffix; ++k) same(a_end + k, b_end + k);
  }

  // LCS lengths of a_[a0, a1) against every prefix of b_[b0, b1) (or, with
  // `reverse`, of both ranges read backwards against every suffix).
  std::vector<std::uint32_t> lcs_row(std::size_t a0, std::size_t a1, std::size_t b0, std::size_t b1,
                                     bool reverse) const {
    const std::size_t m = b1 - b0;
    std::vector<std::uint32_t> prev(m + 1, 0), cur(m + 1, 0);
    for (std::size_t step = 0; step < a1 - a0; ++step) {
      const std::uint32_t x = reverse ? a_[a1 - 1 - step] : a_[a0 + step];
      std::swap(prev, cur);
      for (std::size_t j = 1; j <= m; ++j) {
        const std::uint32_t y = reverse ? b_[b1 - j] : b_[b0 + j - 1];
        cur[j] = x == y ? prev[j - 1] + 1 : std::max(prev[j], cur[j - 1]);
      }
    }
    return cur;
  }

  const std::vector<std::uint32_t>& a_;
  const std::vector<std::uint32_t>& b_;
  std::vector<DiffEntry> out_;
};

std::string offset_cell(bool present, std::size_t offset, int width) {
  if (!present) return std::string(static_cast<std::size_t>(width), ' ');
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*zX", width, offset);
  return buf;
}

}  // namespace

std::vector<DiffEntry> diff_listings(const Listing& a, const Listing& b, bool* exact) {
  std::unordered_map<std::string, std::uint32_t> ids;
  auto id_of = [&ids](const ListingLine& line) {
    return ids.emplace(render_line_body(line), static_cast<std::uint32_t>(ids.size())).first->second;
  };
  std::vector<std::uint32_t> a_ids, b_ids;
  a_ids.reserve(a.lines.size());
  b_ids.reserve(b.lines.size());
  for (const ListingLine& line : a.lines) a_ids.push_back(id_of(line));
  for (const ListingLine& line : b.lines) b_ids.push_back(id_of(line));
  std::size_t prefix = 0;
  while (prefix < a_ids.size() && prefix < b_ids.size() && a_ids[prefix] == b_ids[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < a_ids.size() - prefix && suffix < b_ids.size() - prefix &&
         a_ids[a_ids.size() - 1 - suffix] == b_ids[b_ids.size() - 1 - suffix]) {
    ++suffix;
  }
  const std::size_t a_mid = a_ids.size() - prefix - suffix;
  const std::size_t b_mid = b_ids.size() - prefix - suffix;
  const bool align = b_mid == 0 || a_mid <= kMaxAlignedLinePairs / b_mid;
  if (exact != nullptr) *exact = align;
  if (align) return EditScript(a_ids, b_ids).run();
  std::vector<DiffEntry> out;
  out.reserve(a_ids.size() + b_mid);
  for (std::size_t i = 0; i < prefix; ++i) out.push_back({DiffOp::kSame, i, i});
  for (std::size_t i = 0; i < a_mid; ++i) out.push_back({DiffOp::kRemoved, prefix + i, 0});
  for (std::size_t j = 0; j < b_mid; ++j) out.push_back({DiffOp::kAdded, 0, prefix + j});
  for (std::size_t k = 0; k < suffix; ++k) {
    out.push_back({DiffOp::kSame, prefix + a_mid + k, prefix + b_mid + k});
  }
  return out;
}

std::string render_diff(const Listing& a, const Listing& b, const std::vector<DiffEntry>& script,
                        const DiffRenderOptions& options) {
  const int wa = offset_width_for(options.a_stream_size);
  const int wb = offset_width_for(options.b_stream_size);
  std::string out = "--- " + options.a_label + "\n+++ " + options.b_label + "\n";

  std::vector<bool> shown(script.size(), options.context < 0);
  std::size_t only_a = 0, only_b = 0;
  for (std::size_t i = 0; i < script.size(); ++i) {
    if (script[i].op == DiffOp::kSame) continue;
    (script[i].op == DiffOp::kRemoved ? only_a : only_b) += 1;
    if (options.context >= 0) {
      const auto ctx = static_cast<std::size_t>(options.context);
      const std::size_t from = i >= ctx ? i - ctx : 0;
      const std::size_t to = std::min(script.size(), i + ctx + 1);
      for (std::size_t k = from; k < to; ++k) shown[k] = true;
    }
  }

  for (std::size_t i = 0; i < script.size(); ++i) {
    if (!shown[i]) continue;
    const DiffEntry& e = script[i];
    if (options.context >= 0 && (i == 0 || !shown[i - 1])) {
      // A hunk starts: say where it is in each stream.
      std::string where = "@@";
      for (std::size_t k = i; k < script.size() && shown[k]; ++k) {
        if (script[k].op != DiffOp::kAdded) {
          where += " A " + offset_cell(true, a.lines[script[k].a].offset, wa);
          break;
        }
      }
      for (std::size_t k = i; k < script.size() && shown[k]; ++k) {
        if (script[k].op != DiffOp::kRemoved) {
          where += " B " + offset_cell(true, b.lines[script[k].b].offset, wb);
          break;
        }
      }
      out += where + " @@\n";
    }
    const bool in_a = e.op != DiffOp::kAdded;
    const bool in_b = e.op != DiffOp::kRemoved;
    const ListingLine& line = in_a ? a.lines[e.a] : b.lines[e.b];
    out += e.op == DiffOp::kSame ? ' ' : e.op == DiffOp::kRemoved ? '-' : '+';
    out += ' ';
    if (options.offsets) {
      out += offset_cell(in_a, in_a ? a.lines[e.a].offset : 0, wa);
      out += ' ';
      out += offset_cell(in_b, in_b ? b.lines[e.b].offset : 0, wb);
      out += "  ";
    }
    out += render_line_body(line);
    out += '\n';
  }

  if (!options.exact) {
    out += "the differing middle parts were too long to line up; all of their lines are shown as changed\n";
  }
  if (only_a == 0 && only_b == 0) {
    out += "the listings are the same (offsets not compared)\n";
  } else {
    out += std::to_string(only_a) + " line" + (only_a == 1 ? "" : "s") + " only in A, " +
           std::to_string(only_b) + " line" + (only_b == 1 ? "" : "s") +
           " only in B (offsets not compared)\n";
  }
  return out;
}

}  // namespace quorvix::tools
