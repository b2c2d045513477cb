#include "ffi/request.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

#include <nlohmann/json.hpp>

#include "common/internal_error.h"
#include "ffi/json_syntax.h"
#include "ffi/utf8_validation.h"

namespace quorvix::ffi {
namespace {

// SAX handler that keeps only the top-level "latex" and "prefs_file" members
// and builds nothing for the rest of the request. A member whose value is not
// a string is recorded as absent, so the last occurrence of a key decides.
class MemberPicker {
 public:
  using Json = nlohmann::json;

  bool null() { return other_value(); }
  bool boolean(bool) { return other_value(); }
  bool number_integer(Json::number_integer_t) { return other_value(); }
  bool number_unsigned(Json::number_unsigned_t) { return other_value(); }
  bool number_float(Json::number_float_t, const Json::string_t&) { return other_value(); }
  bool binary(Json::binary_t&) { return other_value(); }

  bool string(Json::string_t& value) {
    if (depth_ == 1 && target_ != nullptr) *target_ = std::move(value);
    target_ = nullptr;
    return true;
  }

  bool start_object(std::size_t) { return open(); }
  bool start_array(std::size_t) { return open(); }
  bool end_object() { return close(); }
  bool end_array() { return close(); }

  // Keys at depth 1 can only belong to the top-level value, an object.
  bool key(Json::string_t& name) {
    target_ = nullptr;
    if (depth_ == 1) {
      if (name == "latex") target_ = &latex;
      if (name == "prefs_file") target_ = &prefs_file;
    }
    return true;
  }

  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) { return false; }

  std::optional<std::string> latex;
  std::optional<std::string> prefs_file;

 private:
  bool other_value() {
    if (depth_ == 1 && target_ != nullptr) target_->reset();
    target_ = nullptr;
    return true;
  }
  bool open() {
    other_value();
    ++depth_;
    return true;
  }
  bool close() {
    --depth_;
    return true;
  }

  std::size_t depth_ = 0;
  std::optional<std::string>* target_ = nullptr;
};

}  // namespace

Result<Request> read_request(const char* request) {
  if (request == nullptr) return make_error("null request");
  const std::string_view text(request);
  QV_RETURN_IF_ERROR(validate_utf8(text));
  QV_RETURN_IF_ERROR(check_json_syntax(text));
  MemberPicker picker;
  if (!nlohmann::json::sax_parse(text.data(), text.data() + text.size(), &picker)) {
    internal_failure("request passed the syntax check but not the JSON reader");
  }
  if (!picker.latex) return make_error("latex must be a string");
  return Request{*std::move(picker.latex), std::move(picker.prefs_file)};
}

}  // namespace quorvix::ffi
