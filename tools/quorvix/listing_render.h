// Rendering a record listing as text, and its compact form.
#pragma once

#include <cstddef>
#include <string>

#include "quorvix/qvf_inspect.h"

namespace quorvix::tools {

// Folds every run of two or more consecutive plain CHAR lines with the same
// depth, typeface and options into one "CHARS" line holding their text.
Listing fold_character_runs(const Listing& listing);

struct RenderOptions {
  bool offsets = true;
  // Hex digits of the offset column; 0 picks the width from the stream size.
  int offset_width = 0;
};

// Digits needed to show every offset of a stream of `size` bytes (at least 4).
int offset_width_for(std::size_t size);

// The text of one line without its offset: indentation, marker and text.
std::string render_line_body(const ListingLine& line);

// The whole listing, one line per entry, each ending in a newline.
std::string render_listing(const Listing& listing, const RenderOptions& options, std::size_t stream_size);

}  // namespace quorvix::tools
