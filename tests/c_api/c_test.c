/* Calls the library's two functions from C, through the shared library, and
 * checks the answers. Prints "N passed, M failed"; exits non-zero on failure. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "quorvix.h"

static int passed = 0;
static int failed = 0;

static void expect_response(const char* name, const char* request, const char* expected) {
  char* response = quorvix_convert_v1(request);
  if (response != NULL && strcmp(response, expected) == 0) {
    ++passed;
  } else {
    ++failed;
    fprintf(stderr, "FAIL %s: got %s, want %s\n", name, response ? response : "(null)", expected);
  }
  quorvix_free_v1(response);
}

static int is_lower_hex(const char* begin, const char* end) {
  const char* p;
  if ((end - begin) % 2 != 0) return 0;
  for (p = begin; p < end; ++p) {
    if (!((*p >= '0' && *p <= '9') || (*p >= 'a' && *p <= 'f'))) return 0;
  }
  return 1;
}

/* A conversion succeeds with the result in its fixed shape. */
static void expect_conversion(const char* name, const char* request) {
  static const char result_prefix[] = "{\"result\":{\"ole\":\"";
  char* response = quorvix_convert_v1(request);
  int ok = 0;
  if (response != NULL && strncmp(response, result_prefix, sizeof result_prefix - 1) == 0) {
    const char* ole = response + sizeof result_prefix - 1;
    const char* ole_end = strstr(ole, "\",\"qvf\":\"");
    const char* qvf = ole_end ? ole_end + 9 : NULL;
    const char* qvf_end = qvf ? strstr(qvf, "\",\"normalized_latex\":\"") : NULL;
    ok = qvf_end != NULL && is_lower_hex(ole, ole_end) && is_lower_hex(qvf, qvf_end) &&
         strncmp(qvf, "0501000708", 10) == 0 && strcmp(response + strlen(response) - 3, "\"}}") == 0;
  }
  if (ok) {
    ++passed;
  } else {
    ++failed;
    fprintf(stderr, "FAIL %s: %s\n", name, response ? response : "(null)");
  }
  quorvix_free_v1(response);
}

int main(void) {
  expect_response("null request", NULL, "{\"error\":\"null request\"}");
  expect_response("empty request", "", "{\"error\":\"EOF while parsing a value at line 1 column 0\"}");
  expect_response("trailing text", "{\"latex\":\"x\"} x",
                  "{\"error\":\"trailing characters at line 1 column 15\"}");
  expect_response("invalid utf-8", "{\"latex\":\"\xC3\x28\"}",
                  "{\"error\":\"invalid utf-8 sequence of 1 bytes from index 10\"}");
  expect_response("incomplete utf-8", "{\"latex\":\"\xE2\x82",
                  "{\"error\":\"incomplete utf-8 byte sequence from index 10\"}");
  expect_response("latex missing", "{}", "{\"error\":\"latex must be a string\"}");
  expect_response("latex a number", "{\"latex\":5}", "{\"error\":\"latex must be a string\"}");
  expect_response("not an object", "[\"x\"]", "{\"error\":\"latex must be a string\"}");

  expect_conversion("plain", "{\"latex\":\"\\\\frac{a}{b}\"}");
  expect_conversion("empty latex", "{\"latex\":\"\"}");
  expect_conversion("prefs_file not a string", "{\"latex\":\"x\",\"prefs_file\":7}");

  /* Freeing NULL does nothing; it has nothing to check but that it returns. */
  quorvix_free_v1(NULL);

  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
