#include "qvf/definitions/fixed_defs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>
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

// No real preferences file comes near this; anything larger is refused
// rather than read into memory.
constexpr std::size_t kMaxPrefsFileBytes = std::size_t{1} << 20;

// Closes the descriptor on every path out.
struct FileDescriptor {
  int fd;
  ~FileDescriptor() {
    if (fd >= 0) ::close(fd);
  }
};

// The whole file as UTF-8 text. Only a regular file is read: a device, a
// FIFO or a directory would block or never end. The open does not wait for
// a FIFO's writer, and the size is taken from the opened file itself.
Result<std::string> read_text_file(const std::string& path) {
  const FileDescriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
  if (file.fd < 0) return read_error(path, errno_text(errno));
  struct stat info;
  if (::fstat(file.fd, &info) != 0) return read_error(path, errno_text(errno));
  if (S_ISDIR(info.st_mode)) return read_error(path, errno_text(EISDIR));
  if (!S_ISREG(info.st_mode)) return read_error(path, "not a regular file");
  const auto too_large = [&] {
    return read_error(path, "file is larger than " + std::to_string(kMaxPrefsFileBytes) + " bytes");
  };
  if (info.st_size < 0 || static_cast<std::uintmax_t>(info.st_size) > kMaxPrefsFileBytes) return too_large();
  // The file may still grow while it is read: read at most one byte past the
  // cap to tell.
  std::string text(static_cast<std::size_t>(info.st_size) + 1, '\0');
  std::size_t filled = 0;
  for (;;) {
    if (filled == text.size()) {
      if (text.size() > kMaxPrefsFileBytes) return too_large();
      text.resize(std::min(text.size() * 2, kMaxPrefsFileBytes + 1));
    }
    const ::ssize_t n = ::read(file.fd, text.data() + filled, text.size() - filled);
    if (n < 0) {
      if (errno == EINTR) continue;
      return read_error(path, errno_text(errno));
    }
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
  }
  text.resize(filled);
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
  if (!built_.load(std::memory_order_acquire)) {
    std::call_once(once_, &OnceBuiltDefs::build, this);
    built_.store(true, std::memory_order_release);
  }
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
