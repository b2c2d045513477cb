#include "ffi/json_syntax.h"

#include <gtest/gtest.h>

#include <array>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace quorvix::ffi {
namespace {

struct SyntaxCase {
  std::string text;
  std::string message;  // empty: the text is one valid JSON value
};

// Texts that the JSON library takes but the syntax check refuses on purpose.
bool refused_on_purpose(std::string_view text) {
  // The library skips a leading byte-order mark; a request may not start with one.
  return text.starts_with("\xEF\xBB\xBF");
}

// For a text that passes, the members noted by the check, decoded, are what
// the JSON library finds as the top-level object's string members (the last
// of duplicate keys wins in both).
void expect_members_as_library_reads_them(const std::string& text) {
  std::array<TopLevelMember, 3> members = {TopLevelMember{"a", {}}, TopLevelMember{"latex", {}},
                                           TopLevelMember{"\xC3\xA9", {}}};
  if (!check_json_syntax(text, members).ok()) {
    return;
  }
  const nlohmann::json value = nlohmann::json::parse(text);
  for (const TopLevelMember& member : members) {
    const std::string name(member.name);
    const bool library_has_string = value.is_object() && value.contains(name) && value[name].is_string();
    ASSERT_EQ(member.string_body.has_value(), library_has_string) << text << " member " << name;
    if (library_has_string) {
      EXPECT_EQ(decode_json_string(*member.string_body), value[name].get<std::string>()) << text;
    }
  }
}

// Checks each case's message, and that the JSON library, which reads every
// request that passes the check, accepts exactly the same texts.
void check_cases(const std::vector<SyntaxCase>& cases) {
  for (const auto& c : cases) {
    const Status status = check_json_syntax(c.text);
    if (c.message.empty()) {
      EXPECT_TRUE(status.ok()) << c.text << " -> " << status.error().message;
    } else {
      ASSERT_FALSE(status.ok()) << c.text;
      EXPECT_EQ(status.error().message, c.message) << c.text;
    }
    expect_members_as_library_reads_them(c.text);
    const bool library_accepts = nlohmann::json::accept(c.text);
    if (refused_on_purpose(c.text)) {
      EXPECT_TRUE(library_accepts && !status.ok()) << c.text;
    } else {
      EXPECT_EQ(library_accepts, status.ok()) << c.text;
    }
  }
}

TEST(JsonSyntaxTest, MissingValueAndTrailingText) {
  check_cases({
      {"", "EOF while parsing a value at line 1 column 0"},
      {"   ", "EOF while parsing a value at line 1 column 0"},
      {"\n\t\r\n", "EOF while parsing a value at line 1 column 0"},
      {"{} x", "trailing characters at line 1 column 4"},
      {R"({"latex":"x"}x)", "trailing characters at line 1 column 14"},
      {"{\"a\":1}\n\n  x", "trailing characters at line 3 column 3"},
      {"1 2", "trailing characters at line 1 column 3"},
      {" {}\r\n ", ""},
      {"\x0c{}", "expected value at line 1 column 1"},
      {"\xEF\xBB\xBF{}", "expected value at line 1 column 1"},
      {"'x'", "expected value at line 1 column 1"},
  });
}

TEST(JsonSyntaxTest, ObjectsAndLists) {
  check_cases({
      {"{", "EOF while parsing an object at line 1 column 1"},
      {"[", "EOF while parsing a list at line 1 column 1"},
      {R"({"a")", "EOF while parsing an object at line 1 column 4"},
      {R"({"a":1)", "EOF while parsing an object at line 1 column 6"},
      {R"({"a":)", "EOF while parsing a value at line 1 column 5"},
      {"[1", "EOF while parsing a list at line 1 column 2"},
      {"[1,", "EOF while parsing a value at line 1 column 3"},
      {R"({"a":1,)", "EOF while parsing a value at line 1 column 7"},
      {"[1 2]", "expected `,` or `]` at line 1 column 4"},
      {"[1}", "expected `,` or `]` at line 1 column 3"},
      {R"({"a" 1})", "expected `:` at line 1 column 6"},
      {R"({"a":1 "b":2})", "expected `,` or `}` at line 1 column 8"},
      {R"({"a":1])", "expected `,` or `}` at line 1 column 7"},
      {"{1:2}", "key must be a string at line 1 column 2"},
      {R"({"a":1,2:3})", "key must be a string at line 1 column 8"},
      {"{,}", "key must be a string at line 1 column 2"},
      {R"({"a":})", "expected value at line 1 column 6"},
      {"[,1]", "expected value at line 1 column 2"},
      {"[1,]", "trailing comma at line 1 column 4"},
      {R"({"a":1,})", "trailing comma at line 1 column 8"},
      {"[1,\n2,\n]", "trailing comma at line 3 column 1"},
      {R"({"a":[{"b":[]},{}],"c":{"d":null}})", ""},
      {"[ ]", ""},
      {"{ }", ""},
  });
}

TEST(JsonSyntaxTest, Literals) {
  check_cases({
      {"tru", "EOF while parsing a value at line 1 column 3"},
      {"nul", "EOF while parsing a value at line 1 column 3"},
      {"trux", "expected ident at line 1 column 4"},
      {"nan", "expected ident at line 1 column 2"},
      {"[true,false,null]", ""},
  });
}

TEST(JsonSyntaxTest, Strings) {
  check_cases({
      {"\"abc", "EOF while parsing a string at line 1 column 4"},
      {"\"a\\", "EOF while parsing a string at line 1 column 3"},
      {R"("\x")", "invalid escape at line 1 column 3"},
      {"\"a\tb\"", "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 3"},
      {"\"a\nb\"", "control character (\\u0000-\\u001F) found while parsing a string at line 2 column 0"},
      {R"("\uD83D\uDE00 \u00e9 \" \\ \/ \b \f \n \r \t")", ""},
      {"\"\xCE\xB1\x7F\"", ""},
  });
}

// Strings are scanned in blocks: a byte that ends the plain run is found
// wherever it falls, and bytes that merely look close to one (0x20, 0x7F,
// non-ASCII) are not taken for it.
TEST(JsonSyntaxTest, StringBytesAreJudgedAtEveryOffset) {
  std::vector<SyntaxCase> cases;
  for (const std::size_t offset : {0u, 1u, 14u, 15u, 16u, 17u, 31u, 32u, 33u, 47u}) {
    const std::string before(offset, 'x');
    const std::string after(40, 'y');
    const std::string column = std::to_string(offset + 2);
    cases.push_back(
        {"\"" + before + "\x1f" + after + "\"",
         "control character (\\u0000-\\u001F) found while parsing a string at line 1 column " + column});
    cases.push_back(
        {"\"" + before + std::string(1, '\0') + after + "\"",
         "control character (\\u0000-\\u001F) found while parsing a string at line 1 column " + column});
    cases.push_back({"\"" + before + "\\q" + after + "\"",
                     "invalid escape at line 1 column " + std::to_string(offset + 3)});
    cases.push_back(
        {"\"" + before + "\"" + after, "trailing characters at line 1 column " + std::to_string(offset + 3)});
    cases.push_back({"\"" + before + " \x7F\xC3\xA9\\n" + after + "\"", ""});
  }
  cases.push_back({"\"" + std::string(47, 'x'), "EOF while parsing a string at line 1 column 48"});
  check_cases(cases);
}

TEST(JsonSyntaxTest, HexEscapesAndSurrogates) {
  check_cases({
      // A bad digit, and digits cut short by the closing quote or the text's end.
      {R"("\u12G4")", "invalid escape at line 1 column 6"},
      {R"("\u12G)", "invalid escape at line 1 column 6"},
      {R"("\u12")", "unexpected end of hex escape at line 1 column 6"},
      {R"("\u")", "unexpected end of hex escape at line 1 column 4"},
      {R"({"latex":"\u12"})", "unexpected end of hex escape at line 1 column 15"},
      {R"("\u12)", "EOF while parsing a string at line 1 column 5"},
      // Lone leading surrogates, reported where their digits end.
      {R"("\uD800")", "lone leading surrogate in hex escape at line 1 column 7"},
      {R"("\udbff")", "lone leading surrogate in hex escape at line 1 column 7"},
      {R"("\uD800x")", "lone leading surrogate in hex escape at line 1 column 7"},
      {R"(["\uD800"])", "lone leading surrogate in hex escape at line 1 column 8"},
      // Lone trailing surrogates carry the same message.
      {R"("\uDC00")", "lone leading surrogate in hex escape at line 1 column 7"},
      {R"("\uDFFF\uD800")", "lone leading surrogate in hex escape at line 1 column 7"},
      {R"("\uDC00\uDC00")", "lone leading surrogate in hex escape at line 1 column 7"},
      // A leading surrogate followed by an escape that is not its partner.
      {R"("\uD800\n")", "lone leading surrogate in hex escape at line 1 column 7"},
      {R"("\uD800\\")", "lone leading surrogate in hex escape at line 1 column 7"},
      {R"("\uD800\u0041")", "lone leading surrogate in hex escape at line 1 column 13"},
      {R"("\uD800\uD800")", "lone leading surrogate in hex escape at line 1 column 13"},
      {R"("\uD800\x")", "lone leading surrogate in hex escape at line 1 column 7"},
      // The pair cut short.
      {R"("\uD800\)", "EOF while parsing a string at line 1 column 8"},
      {R"("\uD800\u)", "EOF while parsing a string at line 1 column 9"},
      {R"("\uD800\uDC")", "unexpected end of hex escape at line 1 column 12"},
      {R"("\uD800\uDCG0")", "invalid escape at line 1 column 12"},
      {"\"\\uD800", "EOF while parsing a string at line 1 column 7"},
      // Complete pairs, at both ends of the ranges.
      {R"("\uD800\uDC00")", ""},
      {R"("\uDBFF\uDFFF")", ""},
      {R"("a\ud834\udd1eb")", ""},
  });
}

TEST(JsonSyntaxTest, Numbers) {
  check_cases({
      {"01", "invalid number at line 1 column 2"},
      {"-", "EOF while parsing a value at line 1 column 1"},
      {"-a", "invalid number at line 1 column 2"},
      {"[-]", "invalid number at line 1 column 3"},
      {"1.", "EOF while parsing a value at line 1 column 2"},
      {"1.e5", "invalid number at line 1 column 3"},
      {"1e", "EOF while parsing a value at line 1 column 2"},
      {"1e+", "EOF while parsing a value at line 1 column 3"},
      {"1ex", "invalid number at line 1 column 3"},
      {"+1", "expected value at line 1 column 1"},
      {"1e400", "number out of range at line 1 column 5"},
      {"-1e400", "number out of range at line 1 column 6"},
      {"[1.7976931348623159e308]", "number out of range at line 1 column 23"},
      {"0.00017976931348623159e312", "number out of range at line 1 column 26"},
      {"1e99999999999", "number out of range at line 1 column 12"},
      {"1.7976931348623157e308", ""},
      {"17976931348623157" + std::string(292, '0'), ""},
      {"1e-400", ""},
      {"0e99999999999", ""},
      {"0.000e999", ""},
      {"1e-99999999999", ""},
      {"[0,-0,1.5,-2.25E+3,1e-7,123456789012345678901234567890]", ""},
  });
}

TEST(JsonSyntaxTest, DeepNestingIsCheckedWithoutRecursion) {
  constexpr std::size_t kDepth = 100000;
  const std::string open(kDepth, '[');
  EXPECT_EQ(check_json_syntax(open).error().message, "EOF while parsing a list at line 1 column 100000");
  EXPECT_TRUE(check_json_syntax(open + std::string(kDepth, ']')).ok());

  std::string objects;
  for (std::size_t i = 0; i < kDepth; ++i) objects += R"({"a":)";
  EXPECT_EQ(check_json_syntax(objects + "1").error().message,
            "EOF while parsing an object at line 1 column " + std::to_string(objects.size() + 1));
  EXPECT_TRUE(check_json_syntax(objects + "1" + std::string(kDepth, '}')).ok());
}

TEST(JsonSyntaxTest, TopLevelMembersAreNotedAndDecoded) {
  check_cases({
      {R"({"a":"x"})", ""},
      {R"({"a":"x","a":"y"})", ""},
      {R"({"a":"x","a":1})", ""},
      {R"({"a":1,"a":"y"})", ""},
      {R"({"a":{"a":"inner"}})", ""},
      {R"({"b":{"a":"inner"},"a":["x"]})", ""},
      {R"([{"a":"x"}])", ""},
      {R"("a")", ""},
      {R"({"\u0061":"escaped key"})", ""},
      {R"({"\u00e9":"e acute","\u00E9x":"other"})", ""},
      {"{\"\xC3\xA9\":\"raw e acute\"}", ""},
      {R"({"a\u0000":"not a"})", ""},
      {R"({"latex":"\\frac{a}{b}\n\t\"\/\b\f\r"})", ""},
      {R"({"latex":"\u0000\u001f\u007f\u0080\u07ff\u0800\uffff"})", ""},
      {R"({"latex":"\ud800\udc00\udbff\udfff\ud83d\ude00x"})", ""},
      {"{\"latex\":\"\xF0\x9F\x98\x80 \xE2\x82\xAC \\u20ac\"}", ""},
      {R"({"latex":""})", ""},
      {R"({ "a" : "x" , "latex" : "y" })", ""},
  });
}

TEST(JsonSyntaxTest, EarlierValuesOfAMemberAreForgotten) {
  // A value taken and then replaced by a non-string leaves nothing behind,
  // nor does a body noted by an earlier check.
  std::array<TopLevelMember, 1> members = {TopLevelMember{"a", "stale"}};
  ASSERT_TRUE(check_json_syntax(R"({"a":"x","a":null})", members).ok());
  EXPECT_FALSE(members[0].string_body.has_value());
}

}  // namespace
}  // namespace quorvix::ffi
