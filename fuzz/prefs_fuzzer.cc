// Feeds arbitrary bytes to the preferences-text parser and the definition
// block built from it, as a request's "prefs_file" would: nothing may crash
// or fail internally, a text the parser refuses fails the build with the
// parser's own message, and a block that is built starts with its encoding
// definition.
//
// The file reader passes on only valid UTF-8 without its byte-order mark, so
// other inputs are not parser inputs and are skipped.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "quorvix_ansi/unicode_text.h"
#include "qvf/definitions/fixed_defs_eqp.h"
#include "qvf/stream/records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!quorvix::quorvix_ansi::is_valid_utf8(text) || text.starts_with("\xEF\xBB\xBF")) return 0;

  const auto parsed = quorvix::qvf::parse_eqp_text(text);
  const auto block = quorvix::qvf::build_fixed_defs_from_eqp_text(text);
  if (!parsed.ok()) {
    if (block.ok() || block.error().message != parsed.error().message) std::abort();
    return 0;
  }
  if (!block.ok()) {
    if (block.error().message.empty()) std::abort();
    return 0;
  }
  namespace tag = quorvix::qvf::tag;
  if (block->empty() || block->front() != tag::kEncodingDef) std::abort();
  return 0;
}
