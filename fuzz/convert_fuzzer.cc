// Feeds arbitrary bytes to quorvix_convert_v1 as the request text and checks
// the one promise every response keeps: a JSON object holding exactly one of
// "result" and "error", released with quorvix_free_v1.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "quorvix.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The C interface takes a NUL-terminated text; an embedded NUL ends it early.
  const std::string request(reinterpret_cast<const char*>(data), size);
  char* response = quorvix_convert_v1(request.c_str());
  if (response == nullptr) std::abort();
  const nlohmann::json parsed = nlohmann::json::parse(response, nullptr, false);
  const bool well_formed = !parsed.is_discarded() && parsed.is_object() && parsed.size() == 1 &&
                           (parsed.contains("result") || parsed.contains("error"));
  quorvix_free_v1(response);
  if (!well_formed) std::abort();
  return 0;
}
