/* Loads the shared library at run time, as a host application that opens it
 * as a plug-in does, and converts on the loading thread and on two threads at
 * once: the library's per-thread buffers must work in a library that was not
 * there when the process started. The library's path is the first argument.
 * Prints "N passed, M failed"; exits non-zero on failure. */
#include <dlfcn.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef char* (*convert_fn)(const char*);
typedef void (*free_fn)(char*);

static convert_fn convert;
static free_fn release;

static const char* const kRequests[] = {
    "{\"latex\":\"x^2+\\\\frac{a}{b}\"}",
    "{\"latex\":\"\\\\text{caf\\u00e9} \\\\begin{pmatrix}1&2\\\\\\\\3&4\\\\end{pmatrix}\"}",
    "{\"latex\":\"\\\\sqrt[3]{\\\\alpha_i}\"}",
};
enum { kRequestCount = sizeof kRequests / sizeof kRequests[0], kRounds = 200 };

/* The responses of the loading thread, which every other thread must match. */
static char* expected[kRequestCount];

/* Converts every request kRounds times; returns the number of responses that
 * differ from the expected ones. */
static void* convert_all(void* arg) {
  long mismatches = 0;
  int round;
  int i;
  (void)arg;
  for (round = 0; round < kRounds; ++round) {
    for (i = 0; i < kRequestCount; ++i) {
      char* response = convert(kRequests[i]);
      if (response == NULL || strcmp(response, expected[i]) != 0) ++mismatches;
      release(response);
    }
  }
  return (void*)mismatches;
}

int main(int argc, char** argv) {
  int passed = 0;
  int failed = 0;
  void* library;
  pthread_t threads[2];
  int i;
  if (argc < 2) {
    fprintf(stderr, "usage: %s LIBRARY\n", argv[0]);
    return 2;
  }
  library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (library == NULL) {
    fprintf(stderr, "FAIL dlopen: %s\n", dlerror());
    return 1;
  }
  /* The POSIX way to turn an object pointer into a function pointer. */
  *(void**)(&convert) = dlsym(library, "quorvix_convert_v1");
  *(void**)(&release) = dlsym(library, "quorvix_free_v1");
  if (convert == NULL || release == NULL) {
    fprintf(stderr, "FAIL dlsym: %s\n", dlerror());
    return 1;
  }

  for (i = 0; i < kRequestCount; ++i) {
    expected[i] = convert(kRequests[i]);
    if (expected[i] != NULL && strncmp(expected[i], "{\"result\":", 10) == 0) {
      ++passed;
    } else {
      ++failed;
      fprintf(stderr, "FAIL request %d: %s\n", i, expected[i] ? expected[i] : "(null)");
    }
  }

  for (i = 0; i < 2; ++i) {
    if (pthread_create(&threads[i], NULL, convert_all, NULL) != 0) {
      fprintf(stderr, "FAIL pthread_create\n");
      return 1;
    }
  }
  {
    const long own = (long)convert_all(NULL);
    if (own == 0) {
      ++passed;
    } else {
      ++failed;
      fprintf(stderr, "FAIL loading thread: %ld responses differ\n", own);
    }
  }
  for (i = 0; i < 2; ++i) {
    void* mismatches = NULL;
    pthread_join(threads[i], &mismatches);
    if ((long)mismatches == 0) {
      ++passed;
    } else {
      ++failed;
      fprintf(stderr, "FAIL thread %d: %ld responses differ\n", i, (long)mismatches);
    }
  }

  for (i = 0; i < kRequestCount; ++i) release(expected[i]);
  dlclose(library);
  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
