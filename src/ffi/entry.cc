// The two exported C functions.
#include <cstdlib>

#include "ffi/convert.h"
#include "ffi/fault_hook.h"
#include "ffi/guard.h"
#include "ffi/response.h"
#include "quorvix.h"

extern "C" char* quorvix_convert_v1(const char* request) QUORVIX_NOEXCEPT {
  using namespace quorvix::ffi;
  auto outcome = run_guarded_result([request]() -> quorvix::Result<ResponseText> {
    run_fault_hook();
    quorvix::conversion::FramedEquation equation;
    QV_RETURN_IF_ERROR(convert_request(request, equation));
    ResponseText response = serialize_framed_result(equation);
    recycle(equation);
    return response;
  });
  if (!outcome.ok()) return serialize_error(outcome.error().message);
  return outcome.value().release();
}

extern "C" void quorvix_free_v1(char* response) QUORVIX_NOEXCEPT { quorvix::ffi::release_response(response); }
