// The two exported C functions.
#include <cstdlib>

#include "ffi/convert.h"
#include "ffi/fault_hook.h"
#include "ffi/guard.h"
#include "ffi/response.h"
#include "quorvix.h"

extern "C" char* quorvix_convert_v1(const char* request) QUORVIX_NOEXCEPT {
  using namespace quorvix::ffi;
  auto outcome = run_guarded_result([request] {
    run_fault_hook();
    return convert_request(request);
  });
  if (!outcome.ok()) return serialize_error(outcome.error().message);
  char* const response = serialize_result(outcome.value());
  recycle(outcome.value());
  return response;
}

extern "C" void quorvix_free_v1(char* response) QUORVIX_NOEXCEPT { std::free(response); }
