// Sets or unsets QUORVIX_SOURCE_ENCODING for the lifetime of a test and
// restores the previous state afterwards.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

class SourceEncodingGuard {
 public:
  explicit SourceEncodingGuard(const std::optional<std::string>& value) {
    if (const char* old = std::getenv(kName)) saved_ = old;
    set(value);
  }
  ~SourceEncodingGuard() { set(saved_); }
  SourceEncodingGuard(const SourceEncodingGuard&) = delete;
  SourceEncodingGuard& operator=(const SourceEncodingGuard&) = delete;

 private:
  static void set(const std::optional<std::string>& value) {
    if (value)
      setenv(kName, value->c_str(), 1);
    else
      unsetenv(kName);
  }
  static constexpr const char* kName = "QUORVIX_SOURCE_ENCODING";
  std::optional<std::string> saved_;
};
