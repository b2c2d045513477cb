// Named commands through the C entry: whole equation streams for function
// names, every font kind, styles and colours, worked out record by record
// from the trees the parser builds.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/bytes.h"
#include "support/converted_stream.h"

namespace quorvix::ffi {
namespace {

using namespace test_support;

const std::string kBlack = "10 00 00 00 00 00 00 00 0F 01";  // the black definition, then COLOR 1
const std::string kRedDef = "10 00 E8 03 00 00 00 00";
const std::string kX = "02 00 83 78 00", kA = "02 00 83 61 00", kB = "02 00 83 62 00", kY = "02 00 83 79 00";

void expect_streams(std::initializer_list<std::pair<const char*, std::string>> cases) {
  for (const auto& [tex, body] : cases) {
    const Bytes expected = concat({stream_start(tex), hx(body)});
    EXPECT_EQ(hex(converted_stream(tex)), hex(expected)) << tex;
  }
}

TEST(CommandStreams, FunctionNamesAndModulo) {
  expect_streams({
      // Upright letters in the function typeface, the first marked as such.
      {"\\sin x", "0A 01 00 " + kBlack + " 02 02 82 73 00 02 00 82 69 00 02 00 82 6E 00 " + kX + " 00 00"},
      // The spaces are written in the default colour, black again after them.
      {"a\\bmod b", "0A 01 00 " + kBlack + " " + kA +
                        " 0F 00 02 00 98 02 EF 0F 01 02 02 82 6D 00 02 00 82 6F 00 02 00 82 64 00 "
                        "0F 00 02 00 98 02 EF 0F 01 " +
                        kB + " 00 00"},
  });
}

TEST(CommandStreams, EveryFontKind) {
  const std::string calvane_one = "13 \"CalvaneMath1\" 00 11 07 \"Calvane Math One\" 00 08 06 00";
  const std::string calvane_two = "13 \"CalvaneMath2\" 00 11 07 \"Calvane Math Two\" 00 08 06 00";
  const std::string fraktur = "13 \"CalvaneFraktur\" 00 11 07 \"Calvane Fraktur\" 00 08 06 00";
  expect_streams({
      {"\\mathbf{x}", "0A 01 00 " + kBlack + " 02 00 87 78 00 00 00"},
      {"\\mathrm{x}", "0A 01 00 " + kBlack + " 02 00 81 78 00 00 00"},
      // The typewriter run defines its style and selects black itself.
      {"\\texttt{x}", "0A 01 00 08 03 00 " + kBlack + " 02 00 7F 78 00 00 00"},
      // Sans serif letters come from Arial, defined right before them.
      {"\\mathsf{x}", "0A 01 00 11 05 \"Arial\" 00 08 06 00 02 00 7F 78 00 00 00"},
      // R has its own glyph in QV Extra; A is drawn from Calvane Math Two.
      {"\\mathbb{R}", "0A 01 00 " + kBlack + " 02 04 8B 1D 21 A1 00 00"},
      {"\\mathbb{A}", "0A 01 00 " + calvane_two + " " + kBlack + " 02 04 7F 80 F0 41 00 00"},
      {"\\mathcal{A}", "0A 01 00 " + calvane_one + " " + kBlack + " 02 04 7F 00 F1 41 00 00"},
      {"\\mathscr{L}", "0A 01 00 " + calvane_one + " " + kBlack + " 02 04 7F 12 21 4C 00 00"},
      {"\\mathfrak{g}", "0A 01 00 " + fraktur + " " + kBlack + " 02 04 7F 20 F0 67 00 00"},
  });
}

TEST(CommandStreams, Styles) {
  expect_streams({
      // At the start of the tree the style selects no size of its own.
      {"\\displaystyle x", "0A 01 00 " + kBlack + " " + kX + " 00 00"},
      // After an item: script size for the body, full size again after it.
      {"a\\scriptstyle x", "0A 01 00 " + kBlack + " " + kA + " 0B " + kX + " 0A 00 00"},
  });
}

TEST(CommandStreams, Colours) {
  expect_streams({
      // A colour first in the tree takes index 1: no black is defined before it.
      {"\\color{red}{x}", "0A 01 00 " + kRedDef + " 0F 01 " + kX + " 00 00"},
      {"\\textcolor{red}{x}", "0A 01 00 " + kRedDef + " 0F 01 " + kX + " 00 00"},
      // After black, red takes index 2, defined once and selected again.
      {"a\\color{red}{x}\\color{red}{y}",
       "0A 01 00 " + kBlack + " " + kA + " " + kRedDef + " 0F 02 " + kX + " 0F 02 " + kY + " 00 00"},
      // A colour without a definition leaves its content uncoloured.
      {"\\color{teal}{x}", "0A 01 00 " + kX + " 00 00"},
  });
}

}  // namespace
}  // namespace quorvix::ffi
