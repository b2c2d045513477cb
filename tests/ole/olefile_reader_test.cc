// Reads the files back with an independent reader, Debian's python3-olefile,
// which also rejects anything the format calls incorrect.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "ole/compound_file.h"
#include "ole/presentation.h"
#include "ole/test_support.h"
#include "qvf/stream/stream.h"
#include "support/temp_dir.h"

namespace quorvix::ole {
namespace {

namespace fs = std::filesystem;
using testing::make_metafile;
using testing::MetafileSpec;

std::string hex(const Bytes& b) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string s;
  for (std::uint8_t x : b) {
    s += kDigits[x >> 4];
    s += kDigits[x & 15];
  }
  return s;
}

// Runs `command` and returns its standard output and exit status.
std::pair<std::string, int> run(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {"", -1};
  char buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  return {out, pclose(pipe)};
}

// The first interpreter that has olefile: Debian's own python3 first, since a
// python3 earlier on PATH (a version manager's) may lack the system modules.
std::string python_with_olefile() {
  for (const char* python : {"/usr/bin/python3", "python3"}) {
    const std::string probe = std::string(python) + " -c 'import olefile' >/dev/null 2>&1";
    if (std::system(probe.c_str()) == 0) return python;
  }
  return "";
}

class OlefileReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    python_ = python_with_olefile();
    if (python_.empty()) GTEST_SKIP() << "python3 with olefile (Debian package python3-olefile) not found";
  }

  // Writes `file` and returns olefile's report on it.
  nlohmann::json read_back(const Bytes& file, const std::string& name) {
    const fs::path path = dir_ / (name + ".ole");
    {
      std::ofstream out(path, std::ios::binary);
      out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
    const std::string script = std::string(QUORVIX_TEST_DATA_DIR) + "/ole/read_compound_file.py";
    auto [output, status] = run(python_ + " '" + script + "' '" + path.string() + "' 2>&1");
    if (status != 0) {
      ADD_FAILURE() << "olefile rejected the file (status " << status << "):\n" << output;
      return nullptr;
    }
    return nlohmann::json::parse(output);
  }

  std::string python_;
  test_support::TempDir temp_;
  const fs::path dir_ = temp_.path();
};

Bytes patterned(std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>((i * 31) ^ (i >> 8));
  return b;
}

TEST_F(OlefileReaderTest, StreamsReadBackIntact) {
  auto empty_native = qvf::write_equation_native(testing::empty_expression_qvf());
  ASSERT_TRUE(empty_native.ok());
  MetafileSpec small_picture;
  MetafileSpec large_picture;
  large_picture.record_words = 2006;  // a 4096-byte record
  MetafileSpec limit_picture;
  limit_picture.record_words = (62 * 512 - 84) / 2;

  struct Case {
    std::string name;
    Bytes native;
    std::optional<Bytes> picture;
  };
  const Case cases[] = {
      {"empty_expression", *empty_native, std::nullopt},
      {"native_4095", patterned(4095), std::nullopt},
      {"native_4096", patterned(4096), std::nullopt},
      {"native_128_sectors", patterned(123 * 512), std::nullopt},
      {"small_picture", *empty_native, make_metafile(small_picture)},
      {"large_picture", patterned(5000), make_metafile(large_picture)},
      {"both_large_128_sectors", patterned(61 * 512), make_metafile(limit_picture)},
      {"empty_native", Bytes{}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto file = write_compound_file(c.native, c.picture);
    ASSERT_TRUE(file.ok()) << file.error().message;
    const nlohmann::json report = read_back(*file, c.name);
    ASSERT_FALSE(report.is_null());

    EXPECT_EQ(report["root_clsid"], "0004A2B7-0000-0000-C000-000000000046");
    EXPECT_EQ(report["sector_size"], 512);
    EXPECT_EQ(report["mini_stream_cutoff"], 4096);
    EXPECT_TRUE(report["issues"].empty()) << report["issues"].dump();

    nlohmann::json expected = {
        {"\x01Ole", {{"size", 20}, {"hex", hex(testing::ole_stream())}}},
        {"Equation Native", {{"size", c.native.size()}, {"hex", hex(c.native)}}},
        {"\x01"
         "CompObj",
         {{"size", 103}, {"hex", hex(testing::comp_obj_stream())}}},
    };
    if (c.picture) {
      auto record = build_presentation_record(*c.picture);
      ASSERT_TRUE(record.ok());
      expected["\x02OlePres000"] = {{"size", record->size()}, {"hex", hex(*record)}};
    }
    ASSERT_EQ(report["streams"].size(), expected.size()) << report["streams"].dump().substr(0, 400);
    for (const auto& [name, stream] : expected.items()) {
      SCOPED_TRACE(name);
      ASSERT_TRUE(report["streams"].contains(name));
      EXPECT_EQ(report["streams"][name]["size"], stream["size"]);
      EXPECT_TRUE(report["streams"][name]["hex"] == stream["hex"]) << "content differs";
    }
  }
}

}  // namespace
}  // namespace quorvix::ole
