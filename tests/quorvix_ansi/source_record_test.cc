#include "qvf/stream/source.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/source_encoding.h"

namespace quorvix::qvf {
namespace {

Bytes bytes_of(std::string_view s) { return Bytes(s.begin(), s.end()); }

Bytes record(std::initializer_list<std::uint8_t> head, std::string_view encoded) {
  Bytes out(head);
  append_bytes(out, "TeX Input Language");
  out.push_back(0);
  append_bytes(out, encoded);
  out.push_back(0);
  return out;
}

TEST(TexSourceRecord, LayoutAndLengthForms) {
  test_support::ScopedSourceEncoding env(std::nullopt);
  // The payload is 20 bytes plus the text: 234 text bytes make 254, the
  // largest one-byte length; 235 make 255, which takes FF FF 00.
  const struct {
    std::string text;
    Bytes expected;
  } cases[] = {
      {"x^2", record({0x66, 0x17}, "x^2")},
      {"", record({0x66, 0x14}, "")},
      {std::string(234, 'a'), record({0x66, 0xFE}, std::string(234, 'a'))},
      {std::string(235, 'a'), record({0x66, 0xFF, 0xFF, 0x00}, std::string(235, 'a'))},
      {std::string(65515, 'a'), record({0x66, 0xFF, 0xFF, 0xFF}, std::string(65515, 'a'))},
  };
  for (const auto& c : cases) {
    Bytes out = {0xAB};
    ASSERT_TRUE(write_tex_source_record(c.text, out).ok()) << c.text.size();
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.front(), 0xAB);  // appended after what was there
    EXPECT_EQ(Bytes(out.begin() + 1, out.end()), c.expected) << c.text.size();
  }
}

TEST(TexSourceRecord, LengthCountsEncodedBytes) {
  test_support::ScopedSourceEncoding env(std::string("GBK"));
  Bytes out;
  ASSERT_TRUE(write_tex_source_record("\\text{\xE4\xB8\xAD}", out).ok());
  EXPECT_EQ(out, record({0x66, 0x1D}, "\\text{\xD6\xD0}"));
}

TEST(TexSourceRecord, FailuresLeaveTheStreamUntouched) {
  const struct {
    std::optional<std::string> encoding;
    std::string text;
    std::string message;
  } cases[] = {
      {std::nullopt, std::string(65516, 'a'), "value is too large for an QVF unsigned integer: 65536"},
      {std::nullopt, std::string(100000, 'a'), "value is too large for an QVF unsigned integer: 100020"},
      {"latin1", "x",
       "unsupported QUORVIX_SOURCE_ENCODING value \"latin1\"; expected utf-8, gbk, or windows-1252"},
  };
  for (const auto& c : cases) {
    test_support::ScopedSourceEncoding env(c.encoding);
    Bytes out = bytes_of("head");
    Status s = write_tex_source_record(c.text, out);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().message, c.message);
    EXPECT_EQ(out, bytes_of("head"));
  }
}

}  // namespace
}  // namespace quorvix::qvf
