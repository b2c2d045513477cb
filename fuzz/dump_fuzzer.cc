// Feeds arbitrary bytes to the record inspector's input detection (compound
// file, framing, JSON response, hex text) and stream decoder, and renders the
// listing in both forms: nothing may crash, hang or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <span>

#include "quorvix/dump_input.h"
#include "quorvix/listing_render.h"
#include "quorvix/qvf_inspect.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  auto loaded = quorvix::tools::load_stream(bytes, false);
  const std::span<const std::uint8_t> stream =
      loaded.ok() ? std::span<const std::uint8_t>(loaded->qvf) : bytes;
  const quorvix::tools::Listing listing = quorvix::tools::inspect_qvf(stream);
  const quorvix::tools::Listing folded = quorvix::tools::fold_character_runs(listing);
  volatile std::size_t sink = quorvix::tools::render_listing(folded, {}, stream.size()).size();
  (void)sink;
  return 0;
}
