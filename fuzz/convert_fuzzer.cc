// Feeds arbitrary bytes to quorvix_convert_v1 and checks the promises every
// response keeps: a JSON object holding exactly one of "result" and "error",
// released with quorvix_free_v1, and never an internal failure.
//
// Input that starts with "{" is the request text itself, so the request
// checks get exercised; anything else is taken as the TeX of a request, so
// the parser and the writers see it directly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "quorvix.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string request = bytes;
  if (bytes.empty() || bytes.front() != '{') {
    // Invalid UTF-8 becomes U+FFFD: the request checks would refuse it anyway.
    request = nlohmann::json{{"latex", bytes}}.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  }
  // The C interface takes a NUL-terminated text; an embedded NUL ends it early.
  char* response = quorvix_convert_v1(request.c_str());
  if (response == nullptr) std::abort();
  const nlohmann::json parsed = nlohmann::json::parse(response, nullptr, false);
  quorvix_free_v1(response);
  const bool well_formed = !parsed.is_discarded() && parsed.is_object() && parsed.size() == 1 &&
                           (parsed.contains("result") || parsed.contains("error"));
  if (!well_formed) std::abort();
  if (parsed.contains("error") && parsed["error"] == "native converter panicked") std::abort();
  return 0;
}
