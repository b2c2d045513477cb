#include "quorvix_ansi/encode.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "quorvix_ansi/unicode_text.h"
#include "support/source_encoding.h"

namespace quorvix::quorvix_ansi {
namespace {

std::string utf8(char32_t c) {
  std::string s;
  append_utf8(s, c);
  return s;
}

std::string encode_ok(std::string_view text) {
  Result<std::string> r = encode_quorvix_text(text);
  EXPECT_TRUE(r.ok()) << (r.ok() ? "" : r.error().message);
  return r.ok() ? *r : std::string("<error>");
}

// Which encoding each accepted spelling selects, told apart by the bytes of
// "中€": UTF-8 keeps them, GBK gives D6 D0 80, windows-1252 gives "?" 80.
TEST(SourceEncodingSetting, AcceptedSpellingsSelectTheirEncoding) {
  const std::string probe = utf8(0x4E2D) + utf8(0x20AC);
  const std::string as_utf8 = probe, as_gbk = "\xD6\xD0\x80", as_1252 = "?\x80";
  const struct {
    std::optional<std::string> value;
    std::string expected;
  } cases[] = {
      {std::nullopt, as_utf8},
      {"utf8", as_utf8},
      {"UTF-8", as_utf8},
      {" gbk ", as_gbk},
      {"\tGBK\r\n", as_gbk},
      {"cp936", as_gbk},
      {"Windows-936", as_gbk},
      {"gb18030", as_gbk},
      {"cp1252", as_1252},
      {"WINDOWS-1252", as_1252},
      {"\u00A0windows-1252", as_1252},
  };
  for (const auto& c : cases) {
    test_support::ScopedSourceEncoding env(c.value);
    EXPECT_EQ(encode_ok(probe), c.expected) << (c.value ? *c.value : "<unset>");
  }
}

TEST(SourceEncodingSetting, UnsupportedValuesQuoteTheUntrimmedValue) {
  const struct {
    std::string value;
    std::string quoted;
  } cases[] = {
      {"latin1", "\"latin1\""},        {"", "\"\""},
      {" latin1\t", "\" latin1\\t\""}, {"a\"b\\c", "\"a\\\"b\\\\c\""},
      {"x\x1b\n", "\"x\\u{1b}\\n\""},  {"gbk\xFF", "\"gbk\xEF\xBF\xBD\""},  // invalid UTF-8 shows as U+FFFD
      {"utf-16", "\"utf-16\""},
  };
  for (const auto& c : cases) {
    test_support::ScopedSourceEncoding env(c.value);
    Result<std::string> r = encode_quorvix_text("x");
    ASSERT_FALSE(r.ok()) << c.value;
    EXPECT_EQ(r.error().message, "unsupported QUORVIX_SOURCE_ENCODING value " + c.quoted +
                                     "; expected utf-8, gbk, or windows-1252");
  }
}

TEST(SourceEncodingSetting, IsReadAgainOnEveryCall) {
  const std::string euro = utf8(0x20AC);
  {
    test_support::ScopedSourceEncoding env(std::string("windows-1252"));
    EXPECT_EQ(encode_ok(euro), "\x80");
  }
  {
    test_support::ScopedSourceEncoding env(std::string("latin1"));
    EXPECT_FALSE(encode_quorvix_text(euro).ok());
  }
  test_support::ScopedSourceEncoding env(std::nullopt);
  EXPECT_EQ(encode_ok(euro), euro);
}

TEST(SourceEncodingSetting, Utf8AndUnsetKeepTheBytesAsTheyAre) {
  const std::string bytes = "a\xFF\xC0" + utf8(0x1F600);
  for (const std::optional<std::string>& value :
       {std::optional<std::string>(), std::optional<std::string>("utf8")}) {
    test_support::ScopedSourceEncoding env(value);
    EXPECT_EQ(encode_ok(bytes), bytes);
  }
}

struct EncoderCase {
  const char* encoding;
  std::string input;
  std::string expected;
};

TEST(LegacyEncoders, CharactersAndUnmappables) {
  const EncoderCase cases[] = {
      {"gbk", utf8(0x4E2D), "\xD6\xD0"},
      {"gbk", utf8(0x20AC), "\x80"},  // single byte, not gb18030's A2 E3
      {"gbk", utf8(0xE5E5), "?"},
      {"gbk", utf8(0x3000), "\xA1\xA1"},
      {"gbk", utf8(0x1E3F), "\xA8\xBC"},
      {"gbk", utf8(0xE000), "\xAA\xA1"},
      {"gbk", utf8(0x0080), "?"},
      {"gbk", utf8(0x00A5), "?"},  // four-byte in gb18030
      {"gbk", utf8(0x1F600), "??"},
      {"gbk", utf8(0x20000), "??"},
      {"gbk", "a" + utf8(0x4E2D) + "b" + utf8(0x1F600) + "c" + utf8(0xE5E5) + "d",
       "a\xD6\xD0"
       "b??c?d"},
      {"windows-1252", utf8(0x20AC), "\x80"},
      {"windows-1252", utf8(0x3B1), "?"},
      {"windows-1252", utf8(0xE9), "\xE9"},
      {"windows-1252", utf8(0x81) + utf8(0x8D) + utf8(0x8F) + utf8(0x90) + utf8(0x9D),
       "\x81\x8D\x8F\x90\x9D"},
      {"windows-1252", utf8(0x80), "?"},
      {"windows-1252", utf8(0x200B), "?"},  // default-ignorable: still reported
      {"windows-1252", utf8(0xFEFF), "?"},
      {"windows-1252", utf8(0x1F600), "??"},
      {"windows-1252", "x^2 " + utf8(0x2022) + utf8(0x4E2D) + utf8(0x10FFFF), "x^2 \x95???"},
      // Invalid UTF-8: each maximal invalid subpart counts as one U+FFFD.
      {"windows-1252",
       "a\xFF"
       "b",
       "a?b"},
      {"gbk",
       "a\xE4\xB8"
       "b",
       "a?b"},
      {"gbk", "\xF0\x9F\x98", "?"},
      {"gbk", "\xED\xA0\x80", "???"},  // an encoded surrogate is three invalid bytes
  };
  for (const auto& c : cases) {
    test_support::ScopedSourceEncoding env(std::string(c.encoding));
    EXPECT_EQ(encode_ok(c.input), c.expected) << c.encoding << " input " << ::testing::PrintToString(c.input);
  }
}

// Long texts go to ICU in chunks; a surrogate pair or a two-byte character
// must come out whole wherever the chunk boundary falls.
TEST(LegacyEncoders, LongTextsAcrossChunkBoundaries) {
  test_support::ScopedSourceEncoding env(std::string("gbk"));
  for (std::size_t prefix = 1018; prefix <= 1026; ++prefix) {
    std::string input(prefix, 'a'), expected(prefix, 'a');
    for (int i = 0; i < 3000; ++i) {
      input += utf8(0x1F600) + utf8(0x4E2D);
      expected += "??\xD6\xD0";
    }
    EXPECT_EQ(encode_ok(input), expected) << prefix;
  }
}

std::string whatwg_1252_byte(char32_t c) {
  static const char32_t kHigh[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                                     0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                                     0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return std::string(1, static_cast<char>(c));
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == c) return std::string(1, static_cast<char>(0x80 + i));
  return "?";
}

// Every BMP character against the WHATWG windows-1252 index.
TEST(LegacyEncoders, Windows1252MatchesTheWhatwgIndexForTheWholeBmp) {
  test_support::ScopedSourceEncoding env(std::string("windows-1252"));
  std::string input, expected;
  for (char32_t c = 1; c <= 0xFFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    input += utf8(c);
    expected += whatwg_1252_byte(c);
  }
  const std::string actual = encode_ok(input);
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i)
    if (actual[i] != expected[i]) ADD_FAILURE() << "character #" << i << " got " << int(actual[i] & 0xFF);
}

// GBK never produces gb18030's four-byte forms: every BMP character is
// ASCII, "?", the euro byte or a two-byte code that decodes back to it.
TEST(LegacyEncoders, GbkIsTheTwoByteTableOnly) {
  test_support::ScopedSourceEncoding env(std::string("gbk"));
  UErrorCode err = U_ZERO_ERROR;
  UConverter* decoder = ucnv_open("gb18030", &err);
  ASSERT_TRUE(U_SUCCESS(err));
  int two_byte = 0;
  for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const std::string out = encode_ok(utf8(c));
    if (c == 0x20AC) {
      EXPECT_EQ(out, "\x80");
    } else if (out != "?") {
      ASSERT_EQ(out.size(), 2u) << std::hex << unsigned(c);
      const auto lead = static_cast<unsigned char>(out[0]), trail = static_cast<unsigned char>(out[1]);
      EXPECT_TRUE(lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F);
      UChar back[4];
      err = U_ZERO_ERROR;
      const int32_t n = ucnv_toUChars(decoder, back, 4, out.data(), 2, &err);
      EXPECT_TRUE(U_SUCCESS(err) && n == 1 && back[0] == c) << std::hex << unsigned(c);
      ++two_byte;
    }
  }
  ucnv_close(decoder);
  // 126 x 190 codes, one of which (A3 A0) has no character to encode.
  EXPECT_EQ(two_byte, 126 * 190 - 1 - 1 /* the euro sign's A2 E3 is not used */);
}

// Text writers rely on this: an ASCII character is stored as its own byte,
// whatever the supported encoding.
TEST(LegacyEncoders, AsciiIsKeptByEverySupportedEncoding) {
  for (const char* value : {static_cast<const char*>(nullptr), "gbk", "windows-1252"}) {
    SCOPED_TRACE(value == nullptr ? "unset" : value);
    test_support::ScopedSourceEncoding env(value);
    for (char32_t c = 0; c < 0x80; ++c) {
      const std::string one(1, static_cast<char>(c));
      EXPECT_EQ(encode_ok(one), one) << "U+" << std::hex << unsigned(c);
    }
  }
}

TEST(LegacyEncoders, ThreadsEncodeIndependently) {
  test_support::ScopedSourceEncoding env(std::string("gbk"));
  std::string input, expected;
  for (int i = 0; i < 500; ++i) {
    input += "x" + utf8(0x4E2D) + utf8(0x1F600) + utf8(0x20AC);
    expected += "x\xD6\xD0??\x80";
  }
  std::vector<std::thread> threads;
  std::vector<int> mismatches(8, 0);
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 50; ++i) {
        Result<std::string> r = encode_quorvix_text(input);
        if (!r.ok() || *r != expected) ++mismatches[static_cast<std::size_t>(t)];
      }
    });
  for (auto& th : threads) th.join();
  for (int m : mismatches) EXPECT_EQ(m, 0);
}

// A thread-local object made before the thread first encodes is destroyed
// after the thread's converters. Text it encodes from its destructor (a
// host's own cleanup converting once more) still comes out right.
struct LateEncoder {
  std::optional<std::string>* encoded = nullptr;
  ~LateEncoder() {
    Result<std::string> r = encode_quorvix_text("x" + utf8(0x4E2D) + utf8(0x20AC));
    if (r.ok()) *encoded = *r;
  }
};

TEST(LegacyEncoders, TextEncodedAfterTheThreadsConvertersClosedIsRight) {
  test_support::ScopedSourceEncoding env(std::string("gbk"));
  std::optional<std::string> early;
  std::optional<std::string> late;
  std::thread worker([&] {
    thread_local LateEncoder encoder;
    encoder.encoded = &late;
    Result<std::string> r = encode_quorvix_text(utf8(0x4E2D));
    if (r.ok()) early = *r;
  });
  worker.join();
  EXPECT_EQ(early, std::optional<std::string>("\xD6\xD0"));
  EXPECT_EQ(late, std::optional<std::string>("x\xD6\xD0\x80"));
}

}  // namespace
}  // namespace quorvix::quorvix_ansi
