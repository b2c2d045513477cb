/* Converts one expression through libquorvix and prints its normalised TeX. */
#include <quorvix.h>
#include <stdio.h>
#include <string.h>

int main(void) {
  char* response = quorvix_convert_v1("{\"latex\":\"\\\\frac{a}{b}\"}");
  const int ok = strncmp(response, "{\"result\":", 10) == 0;
  /* A result ends with the normalised TeX; an error is the whole response. */
  const char* latex = strstr(response, "\"normalized_latex\":");
  printf("%s\n", ok && latex != NULL ? latex : response);
  quorvix_free_v1(response);
  return ok ? 0 : 1;
}
