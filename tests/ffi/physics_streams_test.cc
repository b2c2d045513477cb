// The chemistry and physics shorthands through the C entry: whole equation
// streams. The command word is raw TeX (CHAR records with the raw option in
// the text typeface, default colour); what it encloses is shown in black.
#include <gtest/gtest.h>

#include <string>

#include "support/bytes.h"
#include "support/converted_stream.h"

namespace quorvix::ffi {
namespace {

using namespace test_support;

const std::string kBlack = "10 00 00 00 00 00 00 00 0F 01";  // the black definition, then COLOR 1
const std::string kDefault = "0F 00";                        // back to the default colour for raw text

// A CHAR record of a variable (italic letter typeface) and of a digit.
std::string letter(char c) { return "02 00 83 " + hex({static_cast<std::uint8_t>(c)}) + " 00"; }
std::string digit(char c) { return "02 00 88 " + hex({static_cast<std::uint8_t>(c)}) + " 00"; }
// A parenthesis shown as an ordinary character (the text typeface of math punctuation).
std::string symbol(char c) { return "02 00 82 " + hex({static_cast<std::uint8_t>(c)}) + " 00"; }

TEST(PhysicsStreams, OneCommandOfEachFamily) {
  const struct {
    const char* tex;
    std::string body;
  } cases[] = {
      {"\\ce{H2O}",
       raw_text_records("\\ce") + kBlack + " " + letter('H') + " " + digit('2') + " " + letter('O')},
      {"\\abs{x}", raw_text_records("\\abs") + kBlack + " " + letter('x')},
      {"\\qty(x)",
       raw_text_records("\\qty") + kBlack + " " + symbol('(') + " " + letter('x') + " " + symbol(')')},
      {"\\comm{A}{B}", raw_text_records("\\comm") + kBlack + " " + letter('A') + " " + letter('B')},
      {"\\pmqty{a&b}", raw_text_records("\\pmqty{") + kBlack + " " + letter('a') + " " + kDefault + " " +
                           raw_text_records("&") + "0F 01 " + letter('b') + " " + kDefault + " " +
                           raw_text_records("}")},
      {"\\xmat{a}{b}{c}",
       raw_text_records("\\xmat") + kBlack + " " + letter('a') + " " + letter('b') + " " + letter('c')},
  };
  for (const auto& c : cases) {
    const Bytes expected = concat({stream_start(c.tex), hx("0A 01 00 " + c.body + " 00 00")});
    EXPECT_EQ(hex(converted_stream(c.tex)), hex(expected)) << c.tex;
  }
}

}  // namespace
}  // namespace quorvix::ffi
