// Sets or unsets QUORVIX_SOURCE_ENCODING for the lifetime of an object and
// restores the previous state afterwards.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace quorvix::test_support {

class ScopedSourceEncoding {
 public:
  // nullptr (or an empty optional) unsets the variable.
  explicit ScopedSourceEncoding(const char* value) {
    if (const char* old = std::getenv(kName)) saved_ = old;
    set(value);
  }
  explicit ScopedSourceEncoding(const std::optional<std::string>& value)
      : ScopedSourceEncoding(value ? value->c_str() : nullptr) {}
  ~ScopedSourceEncoding() { set(saved_ ? saved_->c_str() : nullptr); }
  ScopedSourceEncoding(const ScopedSourceEncoding&) = delete;
  ScopedSourceEncoding& operator=(const ScopedSourceEncoding&) = delete;

 private:
  static void set(const char* value) {
    if (value != nullptr)
      ::setenv(kName, value, 1);
    else
      ::unsetenv(kName);
  }
  static constexpr const char* kName = "QUORVIX_SOURCE_ENCODING";
  std::optional<std::string> saved_;
};

}  // namespace quorvix::test_support
