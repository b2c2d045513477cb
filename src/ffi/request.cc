#include "ffi/request.h"

#include <array>
#include <string_view>

#include "common/spare_buffer.h"
#include "ffi/json_syntax.h"
#include "ffi/utf8_validation.h"

namespace quorvix::ffi {

Result<Request> read_request(const char* request) {
  if (request == nullptr) return make_error("null request");
  const std::string_view text(request);
  QV_RETURN_IF_ERROR(validate_utf8(text));
  // The syntax check reads the text once and notes where the two members'
  // last values are, so only their bodies are read again, to decode them.
  std::array<TopLevelMember, 2> members = {TopLevelMember{"latex", {}}, TopLevelMember{"prefs_file", {}}};
  QV_RETURN_IF_ERROR(check_json_syntax(text, members));
  const auto& [latex, prefs_file] = members;
  if (!latex.string_body) return make_error("latex must be a string");
  Request parsed{decode_json_string(*latex.string_body, SpareRequestText::take()), std::nullopt};
  if (prefs_file.string_body) parsed.prefs_file = decode_json_string(*prefs_file.string_body);
  return parsed;
}

}  // namespace quorvix::ffi
