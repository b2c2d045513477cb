#include "quorvix/listing_render.h"

#include <algorithm>
#include <cstdio>

#include "common/utf8.h"
#include "quorvix/text_format.h"

namespace quorvix::tools {

namespace {
constexpr int kMaxIndentDepth = 32;
}  // namespace

Listing fold_character_runs(const Listing& listing) {
  Listing out;
  out.complete = listing.complete;
  out.error_offset = listing.error_offset;
  out.error_reason = listing.error_reason;
  const std::vector<ListingLine>& in = listing.lines;
  for (std::size_t i = 0; i < in.size();) {
    std::size_t end = i + 1;
    if (!in[i].run_key.empty()) {
      while (end < in.size() && in[end].depth == in[i].depth && in[end].kind == in[i].kind &&
             in[end].run_key == in[i].run_key) {
        ++end;
      }
    }
    if (end - i < 2) {
      out.lines.push_back(in[i]);
      ++i;
      continue;
    }
    std::string text;
    for (std::size_t k = i; k < end; ++k) append_utf8(text, in[k].code);
    ListingLine folded = in[i];
    folded.text = "CHARS " + quote_text(text) + in[i].run_key + " (" + std::to_string(end - i) + " records)";
    folded.run_key.clear();
    out.lines.push_back(std::move(folded));
    i = end;
  }
  return out;
}

int offset_width_for(std::size_t size) {
  int width = 4;
  while (width < 16 && (size >> (4 * width)) != 0) ++width;
  return width;
}

std::string render_line_body(const ListingLine& line) {
  // Indentation stops growing at a fixed depth, so that a stream of deeply
  // nested records cannot make the listing quadratic in its length.
  std::string out(static_cast<std::size_t>(std::min(line.depth, kMaxIndentDepth)) * 2, ' ');
  if (line.depth > kMaxIndentDepth) out += "(depth " + std::to_string(line.depth) + ") ";
  if (line.kind == LineKind::kWarning) out += "warning: ";
  if (line.kind == LineKind::kError) out += "ERROR, decoding stops: ";
  out += line.text;
  return out;
}

std::string render_listing(const Listing& listing, const RenderOptions& options, std::size_t stream_size) {
  const int width = options.offset_width > 0 ? options.offset_width : offset_width_for(stream_size);
  std::string out;
  for (const ListingLine& line : listing.lines) {
    if (options.offsets) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%0*zX  ", width, line.offset);
      out += buf;
    }
    out += render_line_body(line);
    out += '\n';
  }
  return out;
}

}  // namespace quorvix::tools
