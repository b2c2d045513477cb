// Failures travel as values: a Result<T> holds either a T or an Error.
#pragma once

#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace quorvix {

// One failure message. `fatal` failures (nesting limits) must never be turned
// into recovered raw TeX by a caller that would otherwise try again.
struct Error {
  std::string message;
  bool fatal = false;
};

inline Error make_error(std::string message) { return Error{std::move(message), false}; }

template <class T>
class [[nodiscard]] Result {
 public:
  // A value or an error handed over is moved in once; one that is named is
  // copied.
  Result(T&& value) : v_(std::in_place_index<0>, std::move(value)) {}      // NOLINT
  Result(const T& value) : v_(std::in_place_index<0>, value) {}            // NOLINT
  Result(Error&& error) : v_(std::in_place_index<1>, std::move(error)) {}  // NOLINT
  Result(const Error& error) : v_(std::in_place_index<1>, error) {}        // NOLINT

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<0>(v_); }
  const T& value() const& { return std::get<0>(v_); }
  T&& value() && { return std::get<0>(std::move(v_)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  Error& error() & { return std::get<1>(v_); }
  const Error& error() const& { return std::get<1>(v_); }
  Error&& error() && { return std::get<1>(std::move(v_)); }

 private:
  std::variant<T, Error> v_;
};

// Result of an operation that produces nothing on success.
// Success is the common case and is returned from every write of a record,
// so it is one flag: no message is made or destroyed for it.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Error error) : error_(std::move(error)) {}  // NOLINT

  bool ok() const { return !error_.has_value(); }
  explicit operator bool() const { return ok(); }
  // Only for a failed status.
  const Error& error() const& { return *error_; }
  Error&& error() && { return std::move(*error_); }

 private:
  std::optional<Error> error_;
};

}  // namespace quorvix

#define QV_CONCAT_INNER(a, b) a##b
#define QV_CONCAT(a, b) QV_CONCAT_INNER(a, b)

// Evaluates a Status or Result expression and returns its error on failure.
#define QV_RETURN_IF_ERROR(expr)                                \
  do {                                                          \
    auto&& qv_status_ = (expr);                                 \
    if (!qv_status_.ok()) return std::move(qv_status_).error(); \
  } while (0)

#define QV_ASSIGN_OR_RETURN_IMPL(tmp, lhs, expr) \
  auto tmp = (expr);                             \
  if (!tmp.ok()) return std::move(tmp).error();  \
  lhs = std::move(tmp).value()

// `QV_ASSIGN_OR_RETURN(auto x, f());` declares x from a Result or returns its error.
#define QV_ASSIGN_OR_RETURN(lhs, expr) QV_ASSIGN_OR_RETURN_IMPL(QV_CONCAT(qv_result_, __LINE__), lhs, expr)
