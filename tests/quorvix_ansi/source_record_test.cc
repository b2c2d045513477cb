#include "qvf/stream/source.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ffi/convert.h"
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

// The early size check must refuse exactly what the record itself refuses,
// with the same message, and pass what the record accepts or fails otherwise.
TEST(TexSourceRecord, EarlySizeCheckAgreesWithTheRecord) {
  std::string e_acute, zhong;
  for (int i = 0; i < 40000; ++i) e_acute += "\xC3\xA9";
  for (int i = 0; i < 33000; ++i) zhong += "\xE4\xB8\xAD";
  const struct {
    std::optional<std::string> encoding;
    std::string text;
  } cases[] = {
      {std::nullopt, std::string(65515, 'a')},
      {std::nullopt, std::string(65516, 'a')},
      {"windows-1252", e_acute},             // 80 000 bytes of UTF-8, 40 000 encoded
      {"gbk", zhong.substr(0, 3 * 30000)},   // 60 000 encoded
      {"gbk", zhong},                        // 66 000 encoded
      {"latin1", std::string(100000, 'a')},  // the encoding's own failure comes later
  };
  for (const auto& c : cases) {
    test_support::ScopedSourceEncoding env(c.encoding);
    const auto encoding = quorvix_ansi::SourceEncoding::from_environment();
    Bytes out;
    const Status written = write_tex_source_record(c.text, encoding, out);
    const Status checked = check_tex_source_fits(c.text, encoding);
    const bool size_failure = !written.ok() && written.error().message.starts_with(
                                                   "value is too large for an QVF unsigned integer");
    ASSERT_EQ(checked.ok(), !size_failure) << c.text.size();
    if (!checked.ok()) {
      EXPECT_EQ(checked.error().message, written.error().message);
    }
  }
}

TEST(TexSourceRecord, OversizedRequestFailsBeforeParsing) {
  // Deep enough to fail the parse too; the size message comes first.
  const std::string latex = std::string(1 << 20, '{') + std::string(1 << 20, 'x');
  auto converted = ffi::convert_latex(latex, std::nullopt);
  ASSERT_FALSE(converted.ok());
  EXPECT_EQ(converted.error().message, "value is too large for an QVF unsigned integer: 2097172");
}

}  // namespace
}  // namespace quorvix::qvf
