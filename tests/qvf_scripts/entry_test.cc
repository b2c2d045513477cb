// Scripts, big operators, integrals and limits through the C entry: whole
// equation streams for typed TeX, worked out record by record from the
// trees the parser builds.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/bytes.h"
#include "support/converted_stream.h"

namespace quorvix::qvf {
namespace {

using namespace test_support;

const std::string kBlack = "10 00 00 00 00 00 00 00 0F 01";  // first COLOR 1: the definition, then the colour
std::string letter(char c) {
  char buf[20];
  std::snprintf(buf, sizeof buf, "02 00 83 %02X 00", static_cast<unsigned char>(c));
  return buf;
}
std::string digit(char c) {
  char buf[20];
  std::snprintf(buf, sizeof buf, "02 00 88 %02X 00", static_cast<unsigned char>(c));
  return buf;
}
// A slot line whose preamble selects black (already defined).
std::string line_of(const std::string& records) { return "01 00 0F 01 " + records + " 00"; }

const std::string kA = letter('a'), kD = letter('d'), kF = letter('f'), kI = letter('i'), kN = letter('n'),
                  kX = letter('x');
const std::string kZero = digit('0'), kOne = digit('1'), kTwo = digit('2');
const std::string kEquals = "02 04 86 3D 00 3D";
const std::string kSum = "02 04 86 11 22 E5";
const std::string kIntegral = "02 04 86 2B 22 F2";
const std::string kContourLoop = "02 04 8B 11 EE D1";
const std::string kLim = "02 02 82 6C 00 02 00 82 69 00 02 00 82 6D 00";
const std::string kThinSpace = "02 00 98 01 EF";  // U+EF01 in the space typeface
const std::string kSpace8 = "02 00 98 08 EF";     // the space of \,
const std::string kRightArrow = "02 04 86 92 21 AE";

void expect_stream(const std::string& tex, const std::string& body) {
  const Bytes expected = concat({stream_start(tex), hx(body)});
  const Bytes got = converted_stream(tex);
  EXPECT_EQ(hex(got), hex(expected)) << tex;
}

TEST(ScriptStreams, WholeStreams) {
  const std::pair<const char*, std::string> cases[] = {
      {"x_1^2", "0A 01 00 " + kBlack + " " + kX + " 0F 00 03 00 1D 00 00 0B " + line_of(kOne) + " 0F 00 " +
                    line_of(kTwo) + " 00 00 00"},
      // The operand a_i ends at the limits' size with no black in force:
      // neither a size record nor COLOR 0 before the lower limit.
      {"\\sum_{i=1}^n a_i", "0A 01 00 " + kBlack + " 03 00 10 70 00 0F 00 01 00 0F 01 " + kA +
                                " 0F 00 03 00 1B 00 00 0B " + line_of(kI) + " 01 01 00 00 " +
                                line_of(kI + " " + kEquals + " " + kOne) + " 0F 00 " + line_of(kN) + " 0D " +
                                kSum + " 00 00 00"},
      // The integral leaves black in force at the limits' size: FULL, then
      // the space \, in the default colour, then black again for d.
      {"\\int_0^1 f\\,dx", "0A 01 00 " + kBlack + " 03 00 0F 11 00 0F 00 " + line_of(kF) + " 0B 0F 00 " +
                               line_of(kZero) + " " + line_of(kOne) + " 0D " + kIntegral + " 00 0A 0F 00 " +
                               kSpace8 + " 0F 01 " + kD + " " + kX + " 00 00"},
      // A limit starts the tree: no colour preamble; \to is a character,
      // black in force before and after it.
      {"\\lim_{x\\to 0} f", "0A 01 00 03 00 17 10 00 01 00 " + kBlack + " " + kLim + " 00 0B 0F 00 " +
                                line_of(kX + " " + kRightArrow + " " + kZero) + " 0F 00 01 01 00 0A 0F 01 " +
                                kF + " 00 00"},
      {"\\oint", "0A 01 00 0D " + kBlack + " 02 00 8C 2E 22 00 00"},
      // Four signs with thin spaces in the default colour between them.
      {"\\iiiint", "0A 01 00 " + kBlack + " " + kIntegral + " 0F 00 " + kThinSpace + " " + kIntegral +
                       " 0F 00 " + kThinSpace + " " + kIntegral + " 0F 00 " + kThinSpace + " " + kIntegral +
                       " 00 00"},
  };
  for (const auto& [tex, body] : cases) expect_stream(tex, body);
}

// The examples the writer's rules single out, typed as TeX.
TEST(ScriptStreams, EdgeCases) {
  const std::string calvane_two = "13 \"CalvaneMath2\" 00 11 07 \"Calvane Math Two\" 00 08 06 00";
  const std::pair<const char*, std::string> cases[] = {
      {"x_1",
       "0A 01 00 " + kBlack + " " + kX + " 0F 00 03 00 1B 00 00 0B " + line_of(kOne) + " 01 01 00 00 00"},
      {"x^2",
       "0A 01 00 " + kBlack + " " + kX + " 0F 00 03 00 1C 00 00 0B 01 01 " + line_of(kTwo) + " 00 00 00"},
      // Scripts on an n-ary sign become limits under and over it; the sign
      // comes from Calvane Math Two, defined before anything else.
      {"\\bigsqcup_i^n", "0A 01 00 " + calvane_two + " 03 00 16 70 00 01 01 0B 01 00 " + kBlack + " " + kI +
                             " 00 0F 00 " + line_of(kN) +
                             " 0D 0F 00 01 00 0F 01 02 04 7F 94 22 F2 00 00 00 00"},
      {"\\iiint_0 f", "0A 01 00 " + kBlack + " 03 00 0F 13 00 0F 00 " + line_of(kF) + " 0B 0F 00 " +
                          line_of(kZero) + " 01 01 0D " + kIntegral + " " + kIntegral + " " + kIntegral +
                          " 00 00 00"},
      {"\\oint f", "0A 01 00 " + kBlack + " 03 00 0F 05 00 0F 00 " + line_of(kF) + " 0B 01 01 01 01 0D " +
                       kContourLoop + " " + kIntegral + " 00 00 00"},
      // A bare operator: no preamble, so its glyph line defines black.
      {"\\sum",
       "0A 01 00 03 00 16 50 00 01 01 0B 01 01 01 01 0D 0F 00 01 00 " + kBlack + " " + kSum + " 00 00 00 00"},
      // A limit that is the whole tree leaves size and colour as they are.
      {"\\lim_{x}", "0A 01 00 03 00 17 10 00 01 00 " + kBlack + " " + kLim + " 00 0B 0F 00 " + line_of(kX) +
                        " 0F 00 01 01 00 00 00"},
      // Limits beside the sign: the text-style form, then the operand.
      {"\\sum\\nolimits_i a", "0A 01 00 " + kBlack + " 0F 00 03 00 15 10 00 01 01 0B " + line_of(kI) +
                                  " 01 01 0D 0F 00 01 00 0F 01 " + kSum + " 00 00 0A " + kA + " 00 00"},
  };
  for (const auto& [tex, body] : cases) expect_stream(tex, body);
}

// An upper limit without a lower one is sound TeX: the name keeps it as a
// superscript instead of ending the conversion.
TEST(ScriptStreams, UpperLimitAloneIsASuperscript) {
  expect_stream("\\lim^{x}", "0A 01 00 " + kLim + " 0F 00 03 00 1C 00 00 0B 01 01 01 00 " + kBlack + " " +
                                 kX + " 00 00 00 00");
}

}  // namespace
}  // namespace quorvix::qvf
