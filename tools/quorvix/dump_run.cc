#include "quorvix/dump_run.h"

#include <ostream>

#include "quorvix/dump_input.h"
#include "quorvix/listing_diff.h"
#include "quorvix/listing_render.h"
#include "quorvix/qvf_inspect.h"
#include "quorvix/text_format.h"

namespace quorvix::tools {

namespace {

struct Inspected {
  std::string source;
  LoadedStream stream;
  Listing listing;
};

bool inspect_input(const std::string& argument, bool force_hex, bool compact, Inspected& result,
                   std::ostream& err) {
  Result<Bytes> bytes = read_argument(argument, result.source);
  if (!bytes.ok()) {
    err << "quorvix dump: " << bytes.error().message << "\n";
    return false;
  }
  Result<LoadedStream> stream = load_stream(*bytes, force_hex);
  if (!stream.ok()) {
    err << "quorvix dump: " << result.source << ": " << stream.error().message << "\n";
    return false;
  }
  result.stream = std::move(stream).value();
  result.listing = inspect_qvf(result.stream.qvf);
  if (compact) result.listing = fold_character_runs(result.listing);
  return true;
}

std::string outcome(const Listing& listing) {
  if (listing.complete) return "stream decoded completely";
  return "decoding stopped at " + hex_offset(listing.error_offset) + ": " + listing.error_reason;
}

int dump_one(const DumpOptions& options, std::ostream& out, std::ostream& err) {
  Inspected in;
  if (!inspect_input(options.inputs.front(), options.force_hex, options.compact, in, err)) return 2;
  out << "# input: " << in.source << " (" << in.stream.origin << ")\n";
  for (const InputNote& note : in.stream.notes)
    out << "# " << (note.warning ? "warning: " : "") << note.text << "\n";
  out << "# QVF stream of " << in.stream.qvf.size() << " bytes"
      << (options.offsets ? "; the first column is the offset of each record in the stream, in hex" : "")
      << "\n";
  RenderOptions render;
  render.offsets = options.offsets;
  out << render_listing(in.listing, render, in.stream.qvf.size());
  out << "# " << outcome(in.listing) << "\n";
  return in.listing.complete ? 0 : 1;
}

int dump_diff(const DumpOptions& options, std::ostream& out, std::ostream& err) {
  Inspected a, b;
  if (!inspect_input(options.inputs[0], options.force_hex, options.compact, a, err)) return 2;
  if (!inspect_input(options.inputs[1], options.force_hex, options.compact, b, err)) return 2;
  auto label = [](const char* side, const Inspected& in) {
    return std::string(side) + ": " + in.source + " (" + in.stream.origin + ", " +
           std::to_string(in.stream.qvf.size()) + " bytes; " + outcome(in.listing) + ")";
  };
  DiffRenderOptions render;
  render.context = options.context;
  render.offsets = options.offsets;
  render.a_stream_size = a.stream.qvf.size();
  render.b_stream_size = b.stream.qvf.size();
  render.a_label = label("A", a);
  render.b_label = label("B", b);
  for (const InputNote& note : a.stream.notes) {
    if (note.warning) out << "# A warning: " << note.text << "\n";
  }
  for (const InputNote& note : b.stream.notes) {
    if (note.warning) out << "# B warning: " << note.text << "\n";
  }
  bool exact = true;
  const std::vector<DiffEntry> script = diff_listings(a.listing, b.listing, &exact);
  render.exact = exact;
  out << render_diff(a.listing, b.listing, script, render);
  for (const DiffEntry& e : script) {
    if (e.op != DiffOp::kSame) return 1;
  }
  return 0;
}

}  // namespace

int run_dump(const DumpOptions& options, std::ostream& out, std::ostream& err) {
  const std::size_t wanted = options.diff ? 2 : 1;
  if (options.inputs.size() != wanted) {
    err << "quorvix dump: expected " << (options.diff ? "two inputs with --diff" : "one input") << ", got "
        << options.inputs.size() << "\n";
    return 2;
  }
  return options.diff ? dump_diff(options, out, err) : dump_one(options, out, err);
}

}  // namespace quorvix::tools
