#include "qvf/definitions/fixed_defs.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string_view>
#include <system_error>

#include "quorvix_ansi/unicode_text.h"
#include "qvf/definitions/fixed_defs_eqp.h"

#ifndef QUORVIX_DEFAULT_PREFS_PATH
#error "QUORVIX_DEFAULT_PREFS_PATH must name the default preferences file"
#endif

namespace quorvix::qvf {

namespace {

Error read_error(const std::string& path, const std::string& reason) {
  return make_error("failed to read " + path + ": " + reason);
}

std::string errno_text(int err) { return std::generic_category().message(err); }

// The whole file as UTF-8 text.
Result<std::string> read_text_file(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return read_error(path, errno_text(errno));
  std::string text;
  char buffer[8192];
  for (;;) {
    const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
    text.append(buffer, n);
    if (n < sizeof buffer) break;
  }
  const int err = std::ferror(file) ? errno : 0;
  std::fclose(file);
  if (err != 0) return read_error(path, errno_text(err));
  if (!quorvix_ansi::is_valid_utf8(text)) return read_error(path, "stream did not contain valid UTF-8");
  // Editors on Windows start UTF-8 files with a byte-order mark; it is a
  // signature, not part of the first line.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (std::string_view(text).starts_with(kByteOrderMark)) text.erase(0, kByteOrderMark.size());
  return text;
}

}  // namespace

void OnceBuiltDefs::build() { value_.emplace(builder_()); }

const Result<Bytes>& OnceBuiltDefs::get() {
  std::call_once(once_, &OnceBuiltDefs::build, this);
  return *value_;
}

Result<Bytes> fixed_defs_from_prefs_file(const std::string& path) {
  QV_ASSIGN_OR_RETURN(const std::string text, read_text_file(path));
  Result<Bytes> built = build_fixed_defs_from_eqp_text(text);
  if (!built.ok()) return make_error("failed to parse " + path + ": " + built.error().message);
  return built;
}

Result<Bytes> build_fixed_defs_from_default_path(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) {
    const auto builtin = builtin_fixed_defs();
    return Bytes(builtin.begin(), builtin.end());
  }
  return fixed_defs_from_prefs_file(path);
}

const char* default_prefs_path() { return QUORVIX_DEFAULT_PREFS_PATH; }

Result<Bytes> build_fixed_defs_once() { return build_fixed_defs_from_default_path(default_prefs_path()); }

const Result<Bytes>& default_fixed_defs() {
  // Never destroyed: conversions on other threads may still read it while
  // the process exits.
  static OnceBuiltDefs* const fixed = new OnceBuiltDefs(&build_fixed_defs_once);
  return fixed->get();
}

Status append_fixed_defs(const std::optional<std::string>& prefs_path, Bytes& out) {
  if (prefs_path) {
    QV_ASSIGN_OR_RETURN(const Bytes block, fixed_defs_from_prefs_file(*prefs_path));
    out.insert(out.end(), block.begin(), block.end());
    return {};
  }
  const Result<Bytes>& fixed = default_fixed_defs();
  if (!fixed.ok()) return fixed.error();
  out.insert(out.end(), fixed->begin(), fixed->end());
  return {};
}

}  // namespace quorvix::qvf
