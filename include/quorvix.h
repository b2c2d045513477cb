/* quorvix: convert one TeX math expression into a Quorvix equation object. */
#ifndef QUORVIX_H
#define QUORVIX_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(QUORVIX_BUILDING_LIBRARY)
#define QUORVIX_API __attribute__((visibility("default")))
#else
#define QUORVIX_API
#endif

/* Neither function ever throws; C++ callers see that in the declaration. */
#if defined(__cplusplus)
#define QUORVIX_NOEXCEPT noexcept
#else
#define QUORVIX_NOEXCEPT
#endif

/* Converts one request, a NUL-terminated UTF-8 JSON text such as
 *   {"latex":"\\frac{a}{b}","prefs_file":"/path/to/prefs.eqp"}
 * and returns a NUL-terminated JSON response, either
 *   {"result":{"ole":"<hex>","qvf":"<hex>","normalized_latex":"<text>"}}
 * or
 *   {"error":"<message>"}.
 * Never returns NULL and never lets a failure escape. `request` may be NULL.
 * The response belongs to the caller until passed to quorvix_free_v1 (not to
 * free: out of memory, the response may be a constant). */
QUORVIX_API char* quorvix_convert_v1(const char* request) QUORVIX_NOEXCEPT;

/* Releases a response returned by quorvix_convert_v1; NULL is ignored. */
QUORVIX_API void quorvix_free_v1(char* response) QUORVIX_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif /* QUORVIX_H */
