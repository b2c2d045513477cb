// A directory of its own under the system temporary directory, removed with
// everything in it at the end.
#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace quorvix::test_support {

class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("quorvix_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Writes `content` to the file `name` in the directory; returns its path.
  std::string write(const std::string& name, std::string_view content) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream(file, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
    return file.string();
  }
  std::filesystem::path file(const std::string& name) const { return path_ / name; }
  std::string path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace quorvix::test_support
