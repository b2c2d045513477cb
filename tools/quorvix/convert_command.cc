#include "quorvix/convert_command.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "quorvix.h"

namespace quorvix::tools {
namespace {

struct ConvertOptions {
  std::string tex;         // the expression, or "-" for standard input
  std::string input_file;  // a file holding the expression
  std::string prefs_file;  // passed on as "prefs_file"
  std::string ole_output;  // where to write the compound file
  std::string qvf_output;  // where to write the QVF stream
  CLI::Option* tex_given = nullptr;
  CLI::Option* file_given = nullptr;
};

// Reports `message` on standard error and leaves with exit status 1.
[[noreturn]] void fail(const std::string& message) {
  std::cerr << "quorvix convert: " << message << '\n';
  throw CLI::RuntimeError(1);
}

std::string read_stream(std::istream& in, const std::string& name) {
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) fail("cannot read " + name);
  return text;
}

std::string read_tex(const ConvertOptions& options) {
  const bool from_file = options.file_given->count() > 0;
  const std::string& source = from_file ? options.input_file : options.tex;
  if (source == "-") return read_stream(std::cin, "standard input");
  if (!from_file) return source;
  std::ifstream file(source, std::ios::binary);
  if (!file) fail("cannot open " + source);
  return read_stream(file, source);
}

std::string build_request(const ConvertOptions& options, const std::string& tex) {
  nlohmann::json request = nlohmann::json::object();
  request["latex"] = tex;
  if (!options.prefs_file.empty()) request["prefs_file"] = options.prefs_file;
  try {
    return request.dump();
  } catch (const nlohmann::json::type_error&) {
    fail("the TeX input or the preferences path is not valid UTF-8");
  }
}

std::string decode_hex(const std::string& digits) {
  auto value = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  if (digits.size() % 2 != 0) fail("malformed hex in the response");
  std::string bytes(digits.size() / 2, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int high = value(digits[2 * i]);
    const int low = value(digits[2 * i + 1]);
    if (high < 0 || low < 0) fail("malformed hex in the response");
    bytes[i] = static_cast<char>(high * 16 + low);
  }
  return bytes;
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) fail("cannot write " + path);
}

void run_convert(const ConvertOptions& options) {
  if ((options.tex_given->count() > 0) == (options.file_given->count() > 0)) {
    fail("give the TeX as an argument (\"-\" for standard input) or with --file, not both");
  }
  const std::string request = build_request(options, read_tex(options));
  const std::unique_ptr<char, void (*)(char*)> response(quorvix_convert_v1(request.c_str()), quorvix_free_v1);

  const nlohmann::json parsed = nlohmann::json::parse(response.get(), nullptr, /*allow_exceptions=*/false);
  if (!parsed.is_object()) fail(std::string("malformed response: ") + response.get());
  if (const auto error = parsed.find("error"); error != parsed.end()) fail(error->get<std::string>());

  if (options.ole_output.empty() && options.qvf_output.empty()) {
    std::cout << response.get() << '\n';
    return;
  }
  const nlohmann::json& result = parsed.at("result");
  if (!options.ole_output.empty()) write_file(options.ole_output, decode_hex(result.at("ole")));
  if (!options.qvf_output.empty()) write_file(options.qvf_output, decode_hex(result.at("qvf")));
}

}  // namespace

void add_convert_command(CLI::App& app) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* command = app.add_subcommand(
      "convert", "Convert one TeX math expression and print the JSON response (or write its files)");
  options->tex_given =
      command->add_option("tex", options->tex, "The TeX expression, or - to read it from standard input");
  options->file_given = command->add_option("-f,--file", options->input_file,
                                            "Read the TeX expression from this file (- for stdin)");
  command->add_option("--prefs", options->prefs_file, "Preferences file passed as \"prefs_file\"");
  command->add_option("-o,--output", options->ole_output, "Write the compound file (OLE) bytes to this file");
  command->add_option("--qvf", options->qvf_output, "Write the QVF stream bytes to this file");
  command->callback([options] { run_convert(*options); });
}

}  // namespace quorvix::tools
