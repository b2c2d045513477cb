#include "quorvix/batch_reader.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include <nlohmann/json.hpp>

#include "ffi/json_syntax.h"
#include "ffi/utf8_validation.h"

namespace quorvix::tools {
namespace {

bool is_blank(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r'; });
}

// SAX handler that keeps the top-level "latex" (a string) and "id" (a string
// or a number, as JSON text) members and builds nothing else, so that neither
// a long nor a deeply nested line costs more than reading it. A member given
// twice takes its last value.
class ItemPicker {
 public:
  using Json = nlohmann::json;

  bool null() { return other_value(); }
  bool boolean(bool) { return other_value(); }
  bool number_integer(Json::number_integer_t v) { return id_number(Json(v)); }
  bool number_unsigned(Json::number_unsigned_t v) { return id_number(Json(v)); }
  bool number_float(Json::number_float_t v, const Json::string_t&) { return id_number(Json(v)); }
  bool binary(Json::binary_t&) { return other_value(); }

  bool string(Json::string_t& value) {
    if (depth_ == 1 && target_ == Target::kLatex) latex = std::move(value);
    if (depth_ == 1 && target_ == Target::kId) id = Json(std::move(value)).dump();
    target_ = Target::kNone;
    return true;
  }

  bool start_object(std::size_t) { return open(); }
  bool start_array(std::size_t) { return open(); }
  bool end_object() { return close(); }
  bool end_array() { return close(); }

  bool key(Json::string_t& name) {
    target_ = Target::kNone;
    if (depth_ == 1 && name == "latex") target_ = Target::kLatex;
    if (depth_ == 1 && name == "id") target_ = Target::kId;
    return true;
  }

  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) { return false; }

  std::optional<std::string> latex;
  // Unset: no id; empty: an id that is neither a string nor a number.
  std::optional<std::string> id;

 private:
  enum class Target : unsigned char { kNone, kLatex, kId };

  bool id_number(const Json& value) {
    if (depth_ == 1 && target_ == Target::kId) {
      id = value.dump();
      target_ = Target::kNone;
      return true;
    }
    return other_value();
  }
  bool other_value() {
    if (depth_ == 1 && target_ == Target::kLatex) latex.reset();
    if (depth_ == 1 && target_ == Target::kId) id = std::string();
    target_ = Target::kNone;
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
  Target target_ = Target::kNone;
};

// The message for a line the JSON reader rejected, worded as the library
// words the same fault in a request.
std::string malformed_line_message(std::string_view line) {
  if (const Status utf8 = ffi::validate_utf8(line); !utf8.ok()) return utf8.error().message;
  if (const Status syntax = ffi::check_json_syntax(line); !syntax.ok()) return syntax.error().message;
  return "the line is not a JSON value";
}

void read_json_line(std::string_view line, BatchItem& item) {
  ItemPicker picker;
  if (!nlohmann::json::sax_parse(line.begin(), line.end(), &picker)) {
    item.error = malformed_line_message(line);
    return;
  }
  if (picker.id) {
    if (picker.id->empty()) {
      item.error = "id must be a string or a number";
      return;
    }
    item.id_json = *std::move(picker.id);
  }
  if (!picker.latex) {
    item.error = "latex must be a string";
    return;
  }
  item.latex = *std::move(picker.latex);
}

}  // namespace

BatchItem read_batch_line(std::string_view line, std::size_t line_number, InputFormat format) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  BatchItem item;
  item.line = line_number;
  item.id_json = std::to_string(line_number);
  if (format == InputFormat::kJsonLines) {
    read_json_line(line, item);
  } else if (const Status utf8 = ffi::validate_utf8(line); !utf8.ok()) {
    item.error = utf8.error().message;
  } else {
    item.latex = std::string(line);
  }
  return item;
}

std::optional<std::string> ole_file_name_for(std::string_view id_json) {
  std::string name(id_json);
  if (!id_json.empty() && id_json.front() == '"') {
    const auto parsed = nlohmann::json::parse(id_json, nullptr, /*allow_exceptions=*/false);
    if (!parsed.is_string()) return std::nullopt;
    name = parsed.get<std::string>();
  }
  if (name.empty() || name == "." || name == ".." ||
      name.find_first_of(std::string_view("/\0", 2)) != name.npos)
    return std::nullopt;
  return name;
}

BatchReader::BatchReader(std::istream& in, InputFormat format, bool name_files)
    : in_(in), format_(format), name_files_(name_files) {}

std::optional<BatchItem> BatchReader::next() {
  while (std::getline(in_, line_)) {
    ++line_number_;
    if (is_blank(line_)) continue;
    BatchItem item = read_batch_line(line_, line_number_, format_);
    if (name_files_ && !item.error) name_file(item);
    return item;
  }
  return std::nullopt;
}

void BatchReader::name_file(BatchItem& item) {
  std::optional<std::string> name = ole_file_name_for(item.id_json);
  if (!name) {
    item.error = "the id " + item.id_json + " cannot name a file";
  } else if (!file_names_.insert(*name).second) {
    item.error = "the id " + item.id_json + " is not unique";
  } else {
    item.ole_file_name = *std::move(name) + ".ole";
  }
}

std::optional<std::size_t> count_batch_lines(std::istream& in) {
  const std::istream::pos_type start = in.tellg();
  if (start == std::istream::pos_type(-1)) return std::nullopt;
  std::size_t count = 0;
  std::string line;
  while (std::getline(in, line)) count += is_blank(line) ? 0u : 1u;
  in.clear();
  in.seekg(start);
  if (!in) return std::nullopt;
  return count;
}

}  // namespace quorvix::tools
