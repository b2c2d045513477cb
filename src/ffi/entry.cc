#include <cstdlib>
#include <cstring>

#include "quorvix.h"

extern "C" char* quorvix_convert_v1(const char* request) {
  (void)request;
  const char msg[] = "{\"error\":\"native converter panicked\"}";
  char* out = static_cast<char*>(std::malloc(sizeof msg));
  if (out == nullptr) std::abort();
  std::memcpy(out, msg, sizeof msg);
  return out;
}

extern "C" void quorvix_free_v1(char* response) { std::free(response); }
