#include "ffi/request.h"

#include <array>
#include <cstring>
#include <string_view>

#include "common/spare_buffer.h"
#include "ffi/json_scan.h"
#include "ffi/json_syntax.h"
#include "ffi/utf8_validation.h"

namespace quorvix::ffi {
namespace {

// Almost every request is the object {"latex":"..."} written without spaces,
// its text using no escape but the one-letter ones. Such a request, already
// known to be UTF-8, is read here in one pass that checks and decodes the
// text together. Anything else (other members, spaces, \u escapes, control
// characters, trailing text) returns false with `latex` in an unspecified
// state, and the request is read the general way, which gives the same
// result for every request this accepts.
bool read_plain_request(std::string_view text, std::string& latex) {
  constexpr std::string_view kOpen = R"({"latex":")";
  if (!text.starts_with(kOpen)) return false;
  // The text is never longer than the request; it is written in place and
  // cut to its length at the end.
  latex.resize(text.size());
  char* const start = latex.data();
  char* out = start;
  std::size_t pos = kOpen.size();
  for (;;) {
    const std::size_t special = find_json_string_special(text, pos);
    std::memcpy(out, text.data() + pos, special - pos);
    out += special - pos;
    if (special + 1 >= text.size()) return false;  // no closing quote, or an escape cut short
    const char c = text[special];
    if (c == '"') {
      latex.resize(static_cast<std::size_t>(out - start));
      return text.substr(special + 1) == "}";
    }
    if (c != '\\') return false;  // a control character
    const char decoded = one_letter_escape(text[special + 1]);
    if (decoded == 0) return false;  // \u escapes and invalid ones
    *out++ = decoded;
    pos = special + 2;
  }
}

}  // namespace

Result<Request> read_request(const char* request) {
  if (request == nullptr) return make_error("null request");
  const std::string_view text(request);
  QV_RETURN_IF_ERROR(validate_utf8(text));
  Request parsed{SpareRequestText::take(), std::nullopt};
  if (read_plain_request(text, parsed.latex)) return parsed;
  parsed.latex.clear();
  // The syntax check reads the text once and notes where the two members'
  // last values are, so only their bodies are read again, to decode them.
  std::array<TopLevelMember, 2> members = {TopLevelMember{"latex", {}}, TopLevelMember{"prefs_file", {}}};
  QV_RETURN_IF_ERROR(check_json_syntax(text, members));
  const auto& [latex, prefs_file] = members;
  if (!latex.string_body) return make_error("latex must be a string");
  parsed.latex = decode_json_string(*latex.string_body, std::move(parsed.latex));
  if (prefs_file.string_body) parsed.prefs_file = decode_json_string(*prefs_file.string_body);
  return parsed;
}

}  // namespace quorvix::ffi
