// Fences through the C entry: whole equation streams for \left ... \right
// groups, worked out record by record from the trees the parser builds.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/bytes.h"
#include "support/converted_stream.h"

namespace quorvix::ffi {
namespace {

using namespace test_support;

const std::string kBlack = "10 00 00 00 00 00 00 00 0F 01";  // the black definition, then COLOR 1
const std::string kX = "02 00 83 78 00", kA = "02 00 83 61 00", kB = "02 00 83 62 00";
std::string line_of(const std::string& records) { return "01 00 0F 01 " + records + " 00"; }
std::string glyph(const char* code_le) { return std::string("02 00 96 ") + code_le; }
const std::string kParens = glyph("28 00") + " " + glyph("29 00");

TEST(FenceStreams, WholeStreams) {
  // The fence is the line's first item: black is selected in front of its
  // template, the body starts in the default colour, and the glyphs follow
  // the body line, which leaves black in force at full size.
  const std::pair<const char*, std::string> cases[] = {
      {"\\left( x \\right)", "03 00 01 03 00 0F 00 " + line_of(kX) + " " + kParens + " 00"},
      {"\\left| x \\right|",
       "03 00 04 03 00 0F 00 " + line_of(kX) + " " + glyph("07 EC") + " " + glyph("08 EC") + " 00"},
      {"\\left\\lceil x \\right\\rceil",
       "03 00 07 03 00 0F 00 " + line_of(kX) + " " + glyph("F0 F8") + " " + glyph("FB F8") + " 00"},
      {"\\left( x \\right.", "03 00 01 01 00 0F 00 " + line_of(kX) + " " + glyph("28 00") + " 00"},
      // The fraction is the body line's only item: COLOR 1 in front of it,
      // then its two slots, each in the default colour.
      {"\\left( \\frac{a}{b} \\right)", "03 00 01 03 00 0F 00 01 00 0F 01 03 00 0B 00 00 0F 00 " +
                                            line_of(kA) + " 0F 00 " + line_of(kB) + " 00 00 " + kParens +
                                            " 00"},
  };
  for (const auto& [tex, fence] : cases) {
    const Bytes expected = concat({stream_start(tex), hx("0A 01 00 " + kBlack + " " + fence + " 00 00")});
    EXPECT_EQ(hex(converted_stream(tex)), hex(expected)) << tex;
  }
}

}  // namespace
}  // namespace quorvix::ffi
