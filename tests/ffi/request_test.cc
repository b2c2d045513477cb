#include "ffi/request.h"

#include <gtest/gtest.h>

#include <optional>
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
