#include "ffi/response.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <utility>

#include "common/hex.h"
#include "quorvix.h"
#include "support/respond.h"

namespace quorvix::ffi {
namespace {

using test_support::take_response;

TEST(HexTest, LowerCaseTwoDigitsPerByte) {
  EXPECT_EQ(hex({}), "");
  EXPECT_EQ(hex({0x00, 0x05, 0x0a, 0x7f, 0x80, 0xab, 0xcd, 0xef, 0xff}), "00050a7f80abcdefff");
  Bytes all(256);
  for (std::size_t b = 0; b < 256; ++b) all[b] = static_cast<std::uint8_t>(b);
  const std::string text = hex(all);
  ASSERT_EQ(text.size(), 512u);
  for (std::size_t b = 0; b < 256; ++b) {
    EXPECT_EQ(std::stoul(text.substr(2 * b, 2), nullptr, 16), b);
  }
  EXPECT_EQ(text.find_first_not_of("0123456789abcdef"), std::string::npos);
}

// Buffers are encoded in blocks; every length and offset must come out the
// same as the digit-by-digit form.
TEST(HexTest, EveryLengthMatchesBytewiseEncoding) {
  constexpr char kDigits[] = "0123456789abcdef";
  for (std::size_t size = 0; size <= 200; ++size) {
    Bytes bytes(size);
    std::string expected;
    for (std::size_t i = 0; i < size; ++i) {
      bytes[i] = static_cast<std::uint8_t>(i * 151 + size * 7 + 0x9c);
      expected += kDigits[bytes[i] >> 4];
      expected += kDigits[bytes[i] & 0xF];
    }
    EXPECT_EQ(hex(bytes), expected) << size;
  }
}

// The last part block is encoded as an overlapping whole block: the digits
// must stay inside the 2 * size chars given, and the end returned must be
// exact, for every length and for output that starts at any alignment.
TEST(HexTest, WritesExactlyTheDigitsAndNothingAround) {
  constexpr char kGuard = '#';
  for (std::size_t size = 0; size <= 140; ++size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(0xff - i * 37);
    for (std::size_t offset = 0; offset < 4; ++offset) {
      std::string buffer(2 * size + 80, kGuard);
      char* const start = buffer.data() + 40 + offset;
      EXPECT_EQ(write_hex(bytes.data(), size, start), start + 2 * size) << size;
      EXPECT_EQ(std::string(start, 2 * size), hex(bytes)) << size;
      EXPECT_EQ(buffer.find_first_not_of(kGuard), bytes.empty() ? std::string::npos : 40 + offset) << size;
      EXPECT_EQ(buffer.find_last_not_of(kGuard),
                bytes.empty() ? std::string::npos : 40 + offset + 2 * size - 1)
          << size;
    }
  }
}

// What the batch tool writes when memory runs out: the result falls back to
// the failure message, then to its constant copy, which release_response
// does not free.
TEST(ResponseTest, ResultsThatCannotBeAllocatedBecomeTheFailureMessage) {
  conversion::EncodedEquation equation;
  equation.qvf = {0x05};
  constexpr const char* kPanicked = R"({"error":"native converter panicked"})";
  for (const unsigned failing : {1u, 2u}) {
    fail_response_allocations(failing);
    ResponseText first(serialize_result(equation));
    fail_response_allocations(failing);
    ResponseText second(serialize_result(equation));
    fail_response_allocations(0);
    EXPECT_EQ(std::string(first.get()), kPanicked) << failing;
    EXPECT_EQ(std::string(second.get()), kPanicked) << failing;
    EXPECT_EQ(first.get() == second.get(), failing == 2) << failing;
  }
  EXPECT_EQ(take_response(serialize_result(equation)),
            R"({"result":{"ole":"","qvf":"05","normalized_latex":""}})");
}

TEST(ResponseTest, ResultShapeAndOrder) {
  conversion::EncodedEquation equation;
  equation.ole = {0xD0, 0xCF, 0x11};
  equation.qvf = {0x05, 0x01, 0x00, 0x07, 0x08};
  equation.normalized_latex = "\\frac{a}{b}";
  EXPECT_EQ(take_response(serialize_result(equation)),
            R"({"result":{"ole":"d0cf11","qvf":"0501000708","normalized_latex":"\\frac{a}{b}"}})");

  EXPECT_EQ(take_response(serialize_result(conversion::EncodedEquation{})),
            R"({"result":{"ole":"","qvf":"","normalized_latex":""}})");
}

TEST(ResponseTest, StringEscaping) {
  struct Case {
    std::string text;
    std::string escaped;
  };
  const Case cases[] = {
      {"a\"b\\c", R"(a\"b\\c)"},
      {"\b\f\n\r\t", R"(\b\f\n\r\t)"},
      {std::string("\x00\x01\x1a\x1f", 4), R"(\u0000\u0001\u001a\u001f)"},
      {"\x7f/", "\x7f/"},
      // Non-ASCII stays as its UTF-8 bytes.
      {"\xCE\xB1\xE2\x89\xA4\xF0\x9D\x90\x80 caf\xC3\xA9",
       "\xCE\xB1\xE2\x89\xA4\xF0\x9D\x90\x80 caf\xC3\xA9"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(take_response(serialize_error(c.text)), R"({"error":")" + c.escaped + R"("})");
    conversion::EncodedEquation equation;
    equation.normalized_latex = c.text;
    const std::string response = take_response(serialize_result(equation));
    EXPECT_EQ(response, R"({"result":{"ole":"","qvf":"","normalized_latex":")" + c.escaped + R"("}})");
    // And a JSON reader gets the text back unchanged.
    EXPECT_EQ(nlohmann::json::parse(response)["result"]["normalized_latex"], c.text);
  }
}

// Text is copied in runs between the bytes that need an escape; every byte
// value at every offset around the run boundaries comes out as its own
// escape or as itself.
TEST(ResponseTest, EscapesAreFoundAtEveryOffset) {
  constexpr char kDigits[] = "0123456789abcdef";
  auto escape = [&](unsigned char b) -> std::string {
    switch (b) {
      case '"': return "\\\"";
      case '\\': return "\\\\";
      case '\b': return "\\b";
      case '\f': return "\\f";
      case '\n': return "\\n";
      case '\r': return "\\r";
      case '\t': return "\\t";
      default: break;
    }
    if (b < 0x20) return std::string("\\u00") + kDigits[b >> 4] + kDigits[b & 0xF];
    return std::string(1, static_cast<char>(b));
  };
  for (const std::size_t offset : {0u, 1u, 15u, 16u, 17u, 31u, 32u, 40u}) {
    for (unsigned b = 0; b < 256; ++b) {
      std::string text(41, 'a');
      text[offset] = static_cast<char>(b);
      text[40] = '"';
      std::string expected;
      for (const char c : text) expected += escape(static_cast<unsigned char>(c));
      EXPECT_EQ(take_response(serialize_error(text)), R"({"error":")" + expected + R"("})")
          << "byte " << b << " at " << offset;
    }
  }
  // Short texts end in a part block, which is scanned from a padded copy:
  // the padding must never count as text, a real NUL must.
  for (std::size_t size = 1; size <= 20; ++size) {
    for (std::size_t offset = 0; offset < size; ++offset) {
      for (const unsigned b : {0x00u, 0x1fu, unsigned{'"'}, unsigned{'\\'}, unsigned{'x'}, 0x80u, 0xffu}) {
        std::string text(size, 'q');
        text[offset] = static_cast<char>(b);
        std::string expected;
        for (const char c : text) expected += escape(static_cast<unsigned char>(c));
        EXPECT_EQ(take_response(serialize_error(text)), R"({"error":")" + expected + R"("})")
            << "byte " << b << " at " << offset << " of " << size;
      }
    }
  }
  // Texts as dense in escapes as TeX is, several to a run and side by side.
  const std::string alphabet = std::string("\\\"\n\x01\x1f ab{}^_\xCE\xB1", 14);
  std::mt19937 random(5);
  for (int round = 0; round < 3000; ++round) {
    std::string text(random() % 70, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    std::string expected;
    for (const char c : text) expected += escape(static_cast<unsigned char>(c));
    EXPECT_EQ(take_response(serialize_error(text)), R"({"error":")" + expected + R"("})") << text;
  }
}

TEST(ResponseTest, LargeBuffersAreWrittenInFull) {
  conversion::EncodedEquation equation;
  equation.ole.assign(100000, 0xAB);
  equation.qvf.assign(70001, 0x3C);
  equation.normalized_latex = std::string(5000, '\n');
  const auto parsed = nlohmann::json::parse(take_response(serialize_result(equation)));
  std::string ole_hex;
  for (int i = 0; i < 100000; ++i) ole_hex += "ab";
  std::string qvf_hex;
  for (int i = 0; i < 70001; ++i) qvf_hex += "3c";
  EXPECT_EQ(parsed["result"]["ole"], ole_hex);
  EXPECT_EQ(parsed["result"]["qvf"], qvf_hex);
  EXPECT_EQ(parsed["result"]["normalized_latex"], equation.normalized_latex);
}

// A converted request answers with the result in its fixed shape.
TEST(EntryTest, ConversionResponseShape) {
  const std::pair<const char*, std::string> cases[] = {
      {R"({"latex":"x"})", "x"},
      {R"({"latex":""})", ""},
      {R"({"latex":"x","prefs_file":7})", "x"},
      {R"({"latex":"$\u03b1 + \u00e9$"})", "\xCE\xB1 + \xC3\xA9"},
  };
  for (const auto& [request, normalized] : cases) {
    const std::string response = take_response(quorvix_convert_v1(request));
    const auto parsed = nlohmann::json::parse(response);
    ASSERT_TRUE(parsed.is_object()) << response;
    ASSERT_EQ(parsed.size(), 1u) << response;
    ASSERT_FALSE(parsed.contains("error")) << response;
    ASSERT_EQ(response.rfind(R"({"result":{"ole":")", 0), 0u) << response;
    const auto& result = parsed["result"];
    ASSERT_EQ(result.size(), 3u);
    const std::string ole = result["ole"];
    const std::string qvf = result["qvf"];
    EXPECT_LT(response.find(R"(","qvf":")"), response.find(R"(","normalized_latex":")"));
    for (const std::string& digits : {ole, qvf}) {
      EXPECT_EQ(digits.size() % 2, 0u);
      EXPECT_EQ(digits.find_first_not_of("0123456789abcdef"), std::string::npos);
    }
    EXPECT_EQ(qvf.rfind("0501000708", 0), 0u) << qvf.substr(0, 24);
    EXPECT_EQ(result["normalized_latex"], normalized);
    // Non-ASCII characters appear as themselves, not as \u escapes.
    EXPECT_NE(response.find(R"("normalized_latex":")" + normalized + "\"}}"), std::string::npos);
  }
}

// Whole conversions through the C entry: the equation body that follows the
// definitions, for inputs whose trees today's parser builds.
TEST(EntryTest, EquationBodies) {
  const std::string black = "1000000000000000";
  // Raw TeX: one CHAR per character, options 0x80, text typeface.
  const auto raw = [](std::string_view text) {
    std::string records;
    for (const char c : text) records += "028081" + hex({static_cast<std::uint8_t>(c)}) + "00";
    return records;
  };
  const std::pair<const char*, std::string> cases[] = {
      // A character with black in force.
      {"x", "0a0100" + black + "0f01" + "0200837800" + "0000"},
      // A raw command opens the line itself: no colour in front of it.
      {"\\foo", "0a0100" + raw("\\foo") + "0000"},
      // Black returns after raw TeX without a second definition.
      {"a \\foo b",
       "0a0100" + black + "0f01" + "0200836100" + raw(" \\foo") + "0f01" + "0200836200" + "0000"},
      // A group's braces leave no trace; raw TeX first, then black.
      {"{\\foo x}", "0a0100" + raw("\\foo") + black + "0f01" + "0200837800" + "0000"},
      {"a+b=c", "0a0100" + black + "0f01" + "0200836100" + "0204862b002b" + "0200836200" + "0204863d003d" +
                    "0200836300" + "0000"},
  };
  for (const auto& [tex, body] : cases) {
    const nlohmann::json request = {{"latex", tex}};
    const auto parsed = nlohmann::json::parse(take_response(quorvix_convert_v1(request.dump().c_str())));
    ASSERT_TRUE(parsed.contains("result")) << tex << ": " << parsed.dump();
    const std::string qvf = parsed["result"]["qvf"];
    // Header (12 bytes), source record (tag, length, "TeX Input Language",
    // NUL, the text, NUL), the 204 bytes of definitions, then the body.
    const std::size_t source = 2 + 19 + std::string_view(tex).size() + 1;
    EXPECT_EQ(qvf.size(), 2 * (12 + source + 204) + body.size()) << tex;
    EXPECT_TRUE(qvf.ends_with(body)) << tex << "\n  got " << qvf.substr(2 * (12 + source + 204)) << "\n want "
                                     << body;
  }
}

}  // namespace
}  // namespace quorvix::ffi
