// Reading batch input lines into items.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "quorvix/batch_reader.h"
#include "support/respond.h"

namespace quorvix::tools {
namespace {

struct LineCase {
  const char* name;
  std::string line;
  InputFormat format;
  std::string id_json;               // expected
  std::string latex;                 // expected when there is no error
  std::optional<std::string> error;  // expected exactly, or
  bool error_from_library = false;   // the C entry's message for the line as a request
};

TEST(BatchReader, ReadsEachKindOfLine) {
  const std::vector<LineCase> cases = {
      {"string id", R"({"id": "q1", "latex": "x^2"})", InputFormat::kJsonLines, R"("q1")", "x^2",
       std::nullopt},
      {"number id", R"({"latex": "a", "id": 42})", InputFormat::kJsonLines, "42", "a", std::nullopt},
      {"no id: the line number", R"({"latex": "a", "source": {"id": "inner"}})", InputFormat::kJsonLines, "7",
       "a", std::nullopt},
      {"escapes and CR", "{\"latex\": \"\\\\frac{\\\"}\\n\\u00e9\", \"id\": \"a\\\"b\"}\r",
       InputFormat::kJsonLines, R"("a\"b")", "\\frac{\"}\n\xC3\xA9", std::nullopt},
      {"last member wins", R"({"latex": 1, "latex": "b", "id": "x", "id": "y"})", InputFormat::kJsonLines,
       R"("y")", "b", std::nullopt},
      {"nested latex is not the item's", R"({"x": {"latex": "no"}})", InputFormat::kJsonLines, "7", "",
       "latex must be a string"},
      {"latex not a string", R"({"latex": 5, "id": "n"})", InputFormat::kJsonLines, R"("n")", "",
       std::nullopt, true},
      {"not an object", R"(["latex", "x"])", InputFormat::kJsonLines, "7", "", std::nullopt, true},
      {"id of another type", R"({"latex": "x", "id": null})", InputFormat::kJsonLines, "7", "",
       "id must be a string or a number"},
      {"truncated JSON", R"({"latex": "x)", InputFormat::kJsonLines, "7", "", std::nullopt, true},
      {"trailing text", R"({"latex": "x"} {})", InputFormat::kJsonLines, "7", "", std::nullopt, true},
      {"invalid UTF-8", "{\"latex\": \"\xC3(\"}", InputFormat::kJsonLines, "7", "", std::nullopt, true},
      {"TeX line", "\\frac{a}{b} % \"quoted\"\r", InputFormat::kTexLines, "7", "\\frac{a}{b} % \"quoted\"",
       std::nullopt},
      {"TeX line in invalid UTF-8", "x\xFF", InputFormat::kTexLines, "7", "",
       "invalid utf-8 sequence of 1 bytes from index 1"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    const BatchItem item = read_batch_line(c.line, 7, c.format);
    EXPECT_EQ(item.line, 7u);
    EXPECT_EQ(item.id_json, c.id_json);
    if (c.error_from_library) {
      // The same fault in a request gets the same message from the library.
      std::string request = c.line;
      if (!request.empty() && request.back() == '\r') request.pop_back();
      const auto response = nlohmann::json::parse(test_support::respond(request));
      ASSERT_TRUE(response.contains("error")) << response;
      EXPECT_EQ(item.error, response["error"].get<std::string>());
    } else {
      EXPECT_EQ(item.error, c.error);
      if (!c.error) {
        EXPECT_EQ(item.latex, c.latex);
      }
    }
  }
}

TEST(BatchReader, FileNamesComeFromIdsThatCanBeThem) {
  EXPECT_EQ(ole_file_name_for(R"("q1")"), "q1");
  EXPECT_EQ(ole_file_name_for("17"), "17");
  EXPECT_EQ(ole_file_name_for(R"("caf\u00e9 x")"), "caf\xC3\xA9 x");
  for (const char* bad : {R"("")", R"(".")", R"("..")", R"("a/b")", R"("../x")", R"("a\u0000b")"}) {
    EXPECT_EQ(ole_file_name_for(bad), std::nullopt) << bad;
  }
}

TEST(BatchReader, SkipsBlankLinesAndRefusesFileNamesTwice) {
  std::istringstream in(
      "{\"latex\":\"a\",\"id\":\"x\"}\n\n  "
      "\t\r\n{\"latex\":\"b\",\"id\":\"x\"}\n{\"latex\":\"c\",\"id\":\"a/b\"}\n"
      "{\"latex\":\"d\"}");
  BatchReader reader(in, InputFormat::kJsonLines, /*name_files=*/true);
  std::vector<BatchItem> items;
  while (auto item = reader.next()) items.push_back(*std::move(item));
  EXPECT_FALSE(reader.failed());
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].ole_file_name, "x.ole");
  EXPECT_EQ(items[1].line, 4u);
  EXPECT_EQ(items[1].error, "the id \"x\" is not unique");
  EXPECT_EQ(items[2].error, "the id \"a/b\" cannot name a file");
  EXPECT_EQ(items[3].line, 6u);
  EXPECT_EQ(items[3].ole_file_name, "6.ole");  // the last line has no line break

  // Counting sees the same items and leaves the stream where it was.
  in.clear();
  in.seekg(0);
  EXPECT_EQ(count_batch_lines(in), 4u);
  BatchReader again(in, InputFormat::kJsonLines, false);
  ASSERT_TRUE(again.next().has_value());
}

}  // namespace
}  // namespace quorvix::tools
