#include "quorvix/batch_convert.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string_view>
#include <utility>

#include <nlohmann/json.hpp>

#include "ffi/convert.h"
#include "ffi/guard.h"
#include "ffi/response.h"

namespace quorvix::tools {
namespace {

using Response = ffi::ResponseText;

// {"id":<id>, followed by the response object without its opening brace.
std::string line_with_id(const std::string& id_json, std::string_view response_tail) {
  std::string line;
  line.reserve(7 + id_json.size() + response_tail.size());
  line.append("{\"id\":").append(id_json).append(",").append(response_tail);
  return line;
}

BatchOutcome failure(const BatchItem& item, std::string message) {
  const Response response(ffi::serialize_error(message));
  return {line_with_id(item.id_json, std::string_view(response.get()).substr(1)), std::move(message), false};
}

bool write_file(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

BatchOutcome convert_batch_item(const BatchItem& item, const BatchConvertOptions& options) {
  if (item.error) return failure(item, *item.error);
  ffi::ConversionReport report;
  Result<conversion::EncodedEquation> converted =
      ffi::run_guarded_result([&] { return ffi::convert_latex(item.latex, options.prefs_file, &report); });
  if (!converted.ok()) return failure(item, std::move(converted).error().message);
  conversion::EncodedEquation& equation = converted.value();

  if (!options.ole_dir) {
    const Response response(ffi::serialize_result(equation));
    ffi::recycle(equation);
    return {line_with_id(item.id_json, std::string_view(response.get()).substr(1)), std::nullopt,
            report.keeps_raw_tex};
  }
  const std::filesystem::path path = *options.ole_dir / item.ole_file_name;
  if (!write_file(path, equation.ole)) return failure(item, "cannot write " + path.string());
  // The response of an equation without its compound file starts with an
  // empty "ole" member; the file's path takes its place.
  equation.ole.clear();
  const Response response(ffi::serialize_result(equation));
  ffi::recycle(equation);
  constexpr std::string_view kEmptyOle = R"({"result":{"ole":"")";
  const std::string_view rest = std::string_view(response.get()).substr(kEmptyOle.size());
  const std::string quoted_path =
      nlohmann::json(path.string()).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  return {line_with_id(item.id_json, "\"result\":{\"ole_file\":" + quoted_path + std::string(rest)),
          std::nullopt, report.keeps_raw_tex};
}

}  // namespace quorvix::tools
