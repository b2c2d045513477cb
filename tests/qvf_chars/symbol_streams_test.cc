// Symbol commands and spaces through the C entry: whole equation streams
// for typed TeX, worked out record by record, and every name of the
// parser's symbol tables converted.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

#include "parser/commands/symbol_tables.h"
#include "support/bytes.h"
#include "support/converted_stream.h"
#include "support/respond.h"

namespace quorvix::qvf {
namespace {

using namespace test_support;

const std::string kBlack = "10 00 00 00 00 00 00 00 0F 01";  // the black definition, then COLOR 1
const std::string kA = "02 00 83 61 00", kB = "02 00 83 62 00", kX = "02 00 83 78 00";
const std::string kCalvaneOne = "13 \"CalvaneMath1\" 00 11 07 \"Calvane Math One\" 00 08 06 00";

void expect_stream(const std::string& tex, const std::string& body) {
  const Bytes expected = concat({stream_start(tex), hx(body)});
  EXPECT_EQ(hex(converted_stream(tex)), hex(expected)) << tex;
}

TEST(SymbolStreams, OneSymbolOfEachTable) {
  const std::pair<const char*, std::string> cases[] = {
      // Plain characters: from the character table (typeface 132, position 0x61).
      {"\\alpha", "0A 01 00 " + kBlack + " 02 04 84 B1 03 61 00 00"},
      // Named symbols: from the command symbol table.
      {"\\prime", "0A 01 00 " + kBlack + " 02 04 86 32 20 A2 00 00"},
      // ... one drawn from Calvane Math One defines the font before the colour.
      {"\\wr", "0A 01 00 " + kCalvaneOne + " " + kBlack + " 02 04 7F 40 22 AA 00 00"},
      // A delimiter name: `{` in typeface 130, no position.
      {"\\lbrace", "0A 01 00 " + kBlack + " 02 00 82 7B 00 00 00"},
      // A character run: two characters in one inner sequence, black once.
      {"\\coloncolonequals", "0A 01 00 " + kBlack + " 02 00 86 37 22 02 04 86 3D 00 3D 00 00"},
      // A big symbol alone is written at symbol size.
      {"\\bigoplus", "0A 01 00 0D " + kBlack + " 02 04 86 95 22 C5 00 00"},
      // Always raw: the raw text sets its own colour, so no preamble.
      {"\\coloneq", "0A 01 00 " + raw_text_records("\\coloneq") + "00 00"},
      // Control symbols: \| from typeface 140, \$ in typeface 130.
      {"\\|\\$", "0A 01 00 " + kBlack + " 02 00 8C 16 20 02 00 82 24 00 00 00"},
  };
  for (const auto& [tex, body] : cases) expect_stream(tex, body);
}

TEST(SymbolStreams, Spaces) {
  const std::pair<const char*, std::string> cases[] = {
      // Only spaces: the space characters alone.
      {"\\quad", "0A 01 00 02 00 98 05 EF 00 00"},
      {"\\,\\!", "0A 01 00 02 00 98 08 EF 02 00 98 01 EF 00 00"},
      // A leading space comes before the colour preamble.
      {"\\;x", "0A 01 00 02 00 98 04 EF " + kBlack + " " + kX + " 00 00"},
      // Between characters: the default colour for the space, black again after it.
      {"a\\quad b", "0A 01 00 " + kBlack + " " + kA + " 0F 00 02 00 98 05 EF 0F 01 " + kB + " 00 00"},
      // A second space right after the first needs no colour of its own.
      {"a\\qquad\\thinspace b",
       "0A 01 00 " + kBlack + " " + kA + " 0F 00 02 00 98 06 EF 02 00 98 08 EF 0F 01 " + kB + " 00 00"},
  };
  for (const auto& [tex, body] : cases) expect_stream(tex, body);
}

// The writer knows every symbol the tables give: each name converts.
TEST(SymbolStreams, EveryTableNameConverts) {
  std::vector<std::string_view> names;
  for (const auto& row : parser::command_to_char_rows()) names.push_back(row.name);
  for (const auto& row : parser::command_specific_to_char_rows()) names.push_back(row.name);
  for (const auto& row : parser::command_to_sequence_rows()) names.push_back(row.name);
  for (const auto& row : parser::command_to_text_rows()) names.push_back(row.name);
  for (const auto& row : parser::delimiter_command_char_rows()) names.push_back(row.name);
  for (const auto& row : parser::spacing_command_width_rows()) names.push_back(row.name);
  for (const auto& row : parser::xarrow_command_kind_rows()) names.push_back(row.name);
  for (const std::string_view name : parser::always_raw_command_rows()) names.push_back(name);
  for (const std::string_view name : names) {
    const std::string response = respond(R"({"latex":"a\\)" + std::string(name) + R"( b"})");
    EXPECT_EQ(response.rfind(R"({"result":)", 0), 0u) << name << ": " << response;
  }
}

}  // namespace
}  // namespace quorvix::qvf
