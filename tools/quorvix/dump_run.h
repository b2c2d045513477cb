// `quorvix dump` without its command-line parsing: reads the inputs, finds
// their streams, prints the listing or the diff of two listings.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace quorvix::tools {

struct DumpOptions {
  // One input, or two with `diff`. Each is a path, "-" or hex text.
  std::vector<std::string> inputs;
  bool diff = false;
  bool force_hex = false;
  bool offsets = true;
  // Fold runs of plain characters into one line each.
  bool compact = false;
  // Unchanged lines around each change in a diff; negative shows all.
  int context = 3;
};

// Exit status: 0 when the stream decoded completely (or, for a diff, the
// listings are the same); 1 when decoding stopped early (or the listings
// differ); 2 when an input cannot be read or holds no stream.
int run_dump(const DumpOptions& options, std::ostream& out, std::ostream& err);

}  // namespace quorvix::tools
