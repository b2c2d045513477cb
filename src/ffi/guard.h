// The internal failure guard of the C boundary.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "common/result.h"

namespace quorvix::ffi {

// The response message when the conversion code failed internally.
inline constexpr std::string_view kPanicMessage = "native converter panicked";

// Runs `body` and returns its result, or an empty optional when it threw
// anything at all (a broken invariant, std::bad_alloc, ...). Partial results
// are discarded by the unwinding; nothing escapes.
template <class F>
auto run_guarded(F&& body) noexcept -> std::optional<std::invoke_result_t<F&&>> {
  try {
    return std::optional<std::invoke_result_t<F&&>>(std::forward<F>(body)());
  } catch (...) {
    return std::nullopt;
  }
}

// Runs `body`, which returns a Result, and turns an internal failure into an
// error carrying kPanicMessage: the one outcome the C entry and the tools
// that convert in-process report alike.
template <class F>
auto run_guarded_result(F&& body) noexcept -> std::invoke_result_t<F&&> {
  auto outcome = run_guarded(std::forward<F>(body));
  if (!outcome) return make_error(std::string(kPanicMessage));
  return *std::move(outcome);
}

}  // namespace quorvix::ffi
