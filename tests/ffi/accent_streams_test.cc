// Accents, bars, arrow accents and negation through the C entry: whole
// equation streams, worked out record by record from the trees the parser
// builds.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/bytes.h"
#include "support/converted_stream.h"

namespace quorvix::ffi {
namespace {

using namespace test_support;

const std::string kBlack = "10 00 00 00 00 00 00 00 0F 01";  // the black definition, then COLOR 1
const std::string kX = "02 00 83 78 00", kY = "02 00 83 79 00", kA = "02 00 83 41 00", kB = "02 00 83 42 00";

void expect_streams(std::initializer_list<std::pair<const char*, std::string>> cases) {
  for (const auto& [tex, body] : cases) {
    const Bytes expected = concat({stream_start(tex), hx(body)});
    EXPECT_EQ(hex(converted_stream(tex)), hex(expected)) << tex;
  }
}

TEST(AccentStreams, MarksOnOneCharacter) {
  expect_streams({
      // x with an embellishment list: options 0x01, EMBELL 06 00 code, END.
      {"\\hat{x}", "0A 01 00 " + kBlack + " 02 01 83 78 00 06 00 09 00 00 00"},
      {"\\overline{x}", "0A 01 00 " + kBlack + " 02 01 83 78 00 06 00 11 00 00 00"},
      {"\\underline{x}", "0A 01 00 " + kBlack + " 02 01 83 78 00 06 00 1D 00 00 00"},
      // = keeps its position in typeface byte 134: options 0x05.
      {"\\not=", "0A 01 00 " + kBlack + " 02 05 86 3D 00 3D 06 00 0A 00 00 00"},
      {"\\vec{\\vec{x}}", "0A 01 00 " + kBlack + " 02 01 83 78 00 06 00 0B 06 00 0B 00 00 00"},
      {"\\vec{\\mathrm{x}}", "0A 01 00 " + kBlack + " 02 01 81 78 00 06 00 0B 00 00 00"},
      {"\\hat{\\bar{x}}", "0A 01 00 " + kBlack + " 02 01 83 78 00 06 00 11 06 00 09 00 00 00"},
  });
}

TEST(AccentStreams, Templates) {
  expect_streams({
      {"\\hat{xy}", "0A 01 00 " + kBlack + " 03 00 21 00 00 0F 00 01 00 0F 01 " + kX + " " + kY +
                        " 00 02 00 96 02 03 00 00 00"},
      {"\\overline{xy}",
       "0A 01 00 " + kBlack + " 03 00 0D 00 00 0F 00 01 00 0F 01 " + kX + " " + kY + " 00 00 00 00"},
      {"\\overrightarrow{AB}", "0A 01 00 " + kBlack + " 03 00 1F 02 00 0F 00 01 00 0F 01 " + kA + " " + kB +
                                   " 00 02 00 96 D7 20 00 00 00"},
      // The acute accent opens its line itself: the black definition comes
      // with the body's line; the accent glyph stands alone in the upper slot.
      {"\\acute{x}", "0A 01 00 03 00 17 20 00 01 00 " + kBlack + " " + kX +
                         " 00 0B 0F 00 01 01 01 00 0F 01 02 00 82 B4 00 00 00 00 00"},
  });
}

// The whole stream of a hat over a bold letter: the letter in a line of its
// own (typeface byte 135) under the expanding hat 0x0302.
TEST(AccentStreams, HatOverBoldLetter) {
  const std::string tex = "\\hat{\\mathbf{x}}";
  const Bytes expected = concat({stream_start(tex), hx("0A 01 00 10 00 00 00 00 00 00 00 0F 01 "
                                                       "03 00 21 00 00 0F 00 01 00 0F 01 02 00 87 78 00 00 "
                                                       "02 00 96 02 03 00 00 00")});
  EXPECT_EQ(hex(converted_stream(tex)), hex(expected));
}

}  // namespace
}  // namespace quorvix::ffi
