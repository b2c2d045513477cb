#include "ffi/request.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "support/respond.h"

namespace quorvix::ffi {
namespace {

using test_support::respond;

std::string error_response(const std::string& message) { return R"({"error":")" + message + R"("})"; }

TEST(RequestTest, NullRequest) {
  EXPECT_EQ(read_request(nullptr).error().message, "null request");
  EXPECT_EQ(respond(nullptr), error_response("null request"));
}

TEST(RequestTest, InvalidUtf8IsReportedAtTheFirstBadSequence) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\xC3\x28", "invalid utf-8 sequence of 1 bytes from index 0"},
      {"{\"latex\":\"\xE2\x82\x28\"}", "invalid utf-8 sequence of 2 bytes from index 10"},
      {"ab\xF0\x9F\x98\x28", "invalid utf-8 sequence of 3 bytes from index 2"},
      {"\x80", "invalid utf-8 sequence of 1 bytes from index 0"},
      {"x\xC0\xAF", "invalid utf-8 sequence of 1 bytes from index 1"},         // overlong
      {"\xE0\x80\x80", "invalid utf-8 sequence of 1 bytes from index 0"},      // overlong
      {"\xED\xA0\x80", "invalid utf-8 sequence of 1 bytes from index 0"},      // surrogate
      {"\xF4\x90\x80\x80", "invalid utf-8 sequence of 1 bytes from index 0"},  // past U+10FFFF
      {"\xF8\x88\x80\x80\x80", "invalid utf-8 sequence of 1 bytes from index 0"},
      {"0123456789\xFF", "invalid utf-8 sequence of 1 bytes from index 10"},
      {"{\"latex\":\"\xC3", "incomplete utf-8 byte sequence from index 10"},
      {"\xE2\x82", "incomplete utf-8 byte sequence from index 0"},
      {"\xCE\xB1\xF0\x9F\x98", "incomplete utf-8 byte sequence from index 2"},
  };
  for (const auto& [request, message] : cases) {
    EXPECT_EQ(respond(request.c_str()), error_response(message)) << message;
  }
  // Valid multi-byte text passes the check and reaches the JSON reader.
  EXPECT_EQ(respond("\xCE\xB1\xE2\x82\xAC\xF0\x9F\x98\x80"),
            error_response("expected value at line 1 column 1"));
}

TEST(RequestTest, JsonErrorsReachTheResponse) {
  EXPECT_EQ(respond(""), error_response("EOF while parsing a value at line 1 column 0"));
  EXPECT_EQ(respond(R"({"latex":"x"} 1)"), error_response("trailing characters at line 1 column 15"));
  EXPECT_EQ(respond("{\"latex\":\"a\tb\"}"),
            error_response(
                R"(control character (\\u0000-\\u001F) found while parsing a string at line 1 column 12)"));
  EXPECT_EQ(respond(R"({"latex":"x")"), error_response("EOF while parsing an object at line 1 column 12"));
  EXPECT_EQ(respond(R"({"latex":"\ud800"})"),
            error_response("lone leading surrogate in hex escape at line 1 column 16"));
  EXPECT_EQ(respond(R"({"latex":"\ud800\u00"})"),
            error_response("unexpected end of hex escape at line 1 column 21"));
}

TEST(RequestTest, LatexMustBeAString) {
  for (const char* request :
       {"{}", "[1]", "\"x\"", "5", "null", R"({"latex":5})", R"({"latex":null})", R"({"latex":true})",
        R"({"latex":["x"]})", R"({"latex":{"latex":"x"}})", R"({"a":{"latex":"x"}})", R"([{"latex":"x"}])",
        R"({"latex":"x","latex":1.5})", R"({"prefs_file":"p"})", R"({"Latex":"x"})"}) {
    EXPECT_EQ(read_request(request).error().message, "latex must be a string") << request;
    EXPECT_EQ(respond(request), error_response("latex must be a string")) << request;
  }
}

TEST(RequestTest, PicksTopLevelMembers) {
  struct Case {
    const char* request;
    std::string latex;
    std::optional<std::string> prefs_file;
  };
  const std::vector<Case> cases = {
      {R"({"latex":"x"})", "x", std::nullopt},
      {R"({"latex":"x","prefs_file":7})", "x", std::nullopt},
      {R"({"latex":"x","prefs_file":null})", "x", std::nullopt},
      {R"({"latex":"x","prefs_file":["p"]})", "x", std::nullopt},
      {R"({"latex":"x","prefs_file":{"prefs_file":"p"}})", "x", std::nullopt},
      {R"({"prefs_file":"a.eqp","latex":"x"})", "x", "a.eqp"},
      {R"({"latex":5,"latex":"second"})", "second", std::nullopt},
      {R"({"prefs_file":"a","prefs_file":false,"latex":""})", "", std::nullopt},
      {R"({"x":[{"latex":"inner"}],"latex":"\\frac{a}{b}","y":{"latex":1}})", "\\frac{a}{b}", std::nullopt},
      {R"({"latex":"\u00e9\ud83d\ude00\n\"\\\/"})", "\xC3\xA9\xF0\x9F\x98\x80\n\"\\/", std::nullopt},
      {"{\"latex\":\"\xCE\xB1\"}", "\xCE\xB1", std::nullopt},
  };
  for (const auto& c : cases) {
    const Result<Request> request = read_request(c.request);
    ASSERT_TRUE(request.ok()) << c.request << ": " << request.error().message;
    EXPECT_EQ(request->latex, c.latex) << c.request;
    EXPECT_EQ(request->prefs_file, c.prefs_file) << c.request;
  }
}

// Requests in the usual compact form and those that only nearly have it
// read alike: the same text, or the same error as any other request.
TEST(RequestTest, CompactAndNearlyCompactRequestsReadAlike) {
  struct Case {
    const char* request;
    const char* latex;  // null: `error` is expected instead
    const char* error;
  };
  const std::vector<Case> cases = {
      {R"({"latex":""})", "", nullptr},
      {R"({"latex":"x^2"})", "x^2", nullptr},
      {R"({"latex":"\\frac{a}{b}\"\/\b\f\n\r\t"})", "\\frac{a}{b}\"/\b\f\n\r\t", nullptr},
      {R"({"latex":"\"\\\/\b\f\n\r\t"})", "\"\\/\b\f\n\r\t", nullptr},
      {"{\"latex\":\"\xCE\xB1+\xF0\x9F\x98\x80 0123456789abcdef0123456789\"}",
       "\xCE\xB1+\xF0\x9F\x98\x80 0123456789abcdef0123456789", nullptr},
      {R"({"latex":"\u0041\\\\"})", "A\\\\", nullptr},
      {R"({"latex":"a\u00e9"})", "a\xC3\xA9", nullptr},
      {R"({"latex":"x"} )", "x", nullptr},
      {R"( {"latex":"x"})", "x", nullptr},
      {R"({"latex":"x","prefs_file":7})", "x", nullptr},
      {R"({"latex":"x","latex":"y"})", "y", nullptr},
      {R"({"latex" : "x"})", "x", nullptr},
      {R"({"latex":"x"}})", nullptr, "trailing characters at line 1 column 14"},
      {R"({"latex":"x"})"
       "\n1",
       nullptr, "trailing characters at line 2 column 1"},
      {R"({"latex":"x")", nullptr, "EOF while parsing an object at line 1 column 12"},
      {R"({"latex":"x)", nullptr, "EOF while parsing a string at line 1 column 11"},
      {R"({"latex":"x\)", nullptr, "EOF while parsing a string at line 1 column 12"},
      {R"({"latex":"x\q"})", nullptr, "invalid escape at line 1 column 13"},
      {R"({"latex":"\ud800"})", nullptr, "lone leading surrogate in hex escape at line 1 column 16"},
      {"{\"latex\":\"a\tb\"}", nullptr,
       "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 12"},
      {R"({"latex":"x"])", nullptr, "expected `,` or `}` at line 1 column 13"},
  };
  for (const Case& c : cases) {
    const Result<Request> request = read_request(c.request);
    if (c.latex == nullptr) {
      ASSERT_FALSE(request.ok()) << c.request;
      EXPECT_EQ(request.error().message, c.error) << c.request;
      continue;
    }
    ASSERT_TRUE(request.ok()) << c.request << ": " << request.error().message;
    EXPECT_EQ(request->latex, c.latex) << c.request;
    EXPECT_EQ(request->prefs_file, std::nullopt) << c.request;
  }
}

// Any text written as a JSON string by another encoder, escapes of every
// kind included, reads back as that text.
TEST(RequestTest, EncodedTextsReadBack) {
  const std::vector<std::string> pieces = {"a",
                                           "\\",
                                           "\"",
                                           "/",
                                           "{",
                                           "}",
                                           " ",
                                           "\n",
                                           "\t",
                                           "\x01",
                                           "\x1F",
                                           "\xCE\xB1",
                                           "\xE2\x82\xAC",
                                           "\xF0\x9F\x98\x80",
                                           "\\frac",
                                           "x^2"};
  std::mt19937 random(17);
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const auto length = random() % 40;
    for (std::size_t k = 0; k < length; ++k) text += pieces[random() % pieces.size()];
    std::string request = nlohmann::json{{"latex", text}}.dump();
    // The other encoder never writes \/; slashes are escaped in every other round.
    if (round % 2 == 1) {
      for (std::size_t at = request.find('/'); at != std::string::npos; at = request.find('/', at + 2))
        request.replace(at, 1, "\\/");
    }
    const Result<Request> read = read_request(request.c_str());
    ASSERT_TRUE(read.ok()) << request << ": " << read.error().message;
    EXPECT_EQ(read->latex, text) << request;
  }
}

// A request read the quick way reads as it does the general way: the same
// request with a space after it, which only the general reader takes, gives
// the same text, or fails too.
TEST(RequestTest, QuickAndGeneralReadingsAgree) {
  const std::vector<std::string> pieces = {"a",
                                           "x^2",
                                           "\\\\frac",
                                           "\\\"",
                                           "\\\\",
                                           "\\/",
                                           "\\b",
                                           "\\f",
                                           "\\n",
                                           "\\r",
                                           "\\t",
                                           "\\u0041",
                                           "\\ud83d\\ude00",
                                           "\\q",
                                           "\\u12",
                                           "\"",
                                           "\t",
                                           "}",
                                           "\xCE\xB1",
                                           "\xF0\x9F\x98\x80",
                                           " "};
  const std::vector<std::string> endings = {"\"}", "\"", "\"}}", "\"]", "\",\"prefs_file\":\"p\"}", "", "\\"};
  std::mt19937 random(29);
  for (int round = 0; round < 5000; ++round) {
    std::string request = R"({"latex":")";
    const auto length = random() % 12;
    for (std::size_t k = 0; k < length; ++k) request += pieces[random() % pieces.size()];
    request += endings[random() % endings.size()];
    const Result<Request> quick = read_request(request.c_str());
    const Result<Request> general = read_request((request + " ").c_str());
    ASSERT_EQ(quick.ok(), general.ok()) << request;
    if (quick.ok()) {
      EXPECT_EQ(quick->latex, general->latex) << request;
      EXPECT_EQ(quick->prefs_file, general->prefs_file) << request;
    }
  }
}

TEST(RequestTest, DeepNestingIsAnsweredSafely) {
  constexpr std::size_t kDepth = 100000;
  std::string unclosed(kDepth, '[');
  EXPECT_EQ(respond(unclosed.c_str()), error_response("EOF while parsing a list at line 1 column 100000"));

  // Well-formed deep nesting beside "latex", with "latex" keys inside it, is
  // skipped rather than rejected or taken.
  std::string nested = R"({"latex":"x","deep":)";
  for (std::size_t i = 0; i < kDepth; ++i) nested += R"([{"latex":)";
  nested += "1";
  for (std::size_t i = 0; i < kDepth; ++i) nested += "}]";
  nested += "}";
  const Result<Request> request = read_request(nested.c_str());
  ASSERT_TRUE(request.ok()) << request.error().message;
  EXPECT_EQ(request->latex, "x");
}

}  // namespace
}  // namespace quorvix::ffi
