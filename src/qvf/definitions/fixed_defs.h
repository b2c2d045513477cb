// The definition block of a QVF stream (encodings, fonts, sizes, spacing and
// styles): the built-in default, built once per process and shared, or a
// block built from a preferences file named by a request.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "common/bytes.h"
#include "common/result.h"

namespace quorvix::qvf {

inline constexpr std::size_t kBuiltinFixedDefsSize = 204;

// The block used when no preferences file is installed at the default location.
std::span<const std::uint8_t, kBuiltinFixedDefsSize> builtin_fixed_defs();

// Reads a preferences file (UTF-8) and builds its block. Failures name the
// path: "failed to read PATH: ERROR", "failed to parse PATH: MESSAGE".
Result<Bytes> fixed_defs_from_prefs_file(const std::string& path);

// Builds the default block from the preferences file at `path`, or returns
// the built-in block when nothing exists there.
Result<Bytes> build_fixed_defs_from_default_path(const std::string& path);

// Where the default preferences file is looked for (fixed at build time).
const char* default_prefs_path();

// `build_fixed_defs_from_default_path(default_prefs_path())`.
Result<Bytes> build_fixed_defs_once();

// A definition block built on first use, exactly once however many threads
// ask at the same moment (the others wait); the outcome, bytes or failure,
// is kept and handed to every later caller.
class OnceBuiltDefs {
 public:
  explicit OnceBuiltDefs(std::function<Result<Bytes>()> builder) : builder_(std::move(builder)) {}
  OnceBuiltDefs(const OnceBuiltDefs&) = delete;
  OnceBuiltDefs& operator=(const OnceBuiltDefs&) = delete;

  const Result<Bytes>& get();

 private:
  std::function<Result<Bytes>()> builder_;
  std::once_flag once_;
  // Set once value_ is there: later calls read it without entering
  // call_once, which costs thread-local bookkeeping on every call.
  std::atomic<bool> built_{false};
  std::optional<Result<Bytes>> value_;

  void build();
};

// The process-wide default block (built by `build_fixed_defs_once`).
const Result<Bytes>& default_fixed_defs();

// Appends the block for one conversion: built from `prefs_path` when given,
// else the shared default. On failure nothing is appended.
Status append_fixed_defs(const std::optional<std::string>& prefs_path, Bytes& out);

}  // namespace quorvix::qvf
