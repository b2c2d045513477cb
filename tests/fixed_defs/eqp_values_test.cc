#include <gtest/gtest.h>

#include <string>

#include "qvf/definitions/fixed_defs_eqp.h"

namespace quorvix::qvf {
namespace {

TEST(ParseDimension, UnitsAndNumbers) {
  const struct {
    const char* value;
    const char* number;
    std::uint8_t unit;
  } cases[] = {
      {"12pt", "12", kUnitPoints},
      {"12 pt", "12", kUnitPoints},
      {" 12 Points ", "12", kUnitPoints},
      {"1 point", "1", kUnitPoints},
      {"2pc", "2", kUnitPicas},
      {"2 PICAS", "2", kUnitPicas},
      {"2pica", "2", kUnitPicas},
      {"1cm", "1", kUnitCentimeters},
      {"1.25 Centimeters", "1.25", kUnitCentimeters},
      {"3 centimeter", "3", kUnitCentimeters},
      {"0.5IN", "0.5", kUnitInches},
      {"1 inches", "1", kUnitInches},
      {"1inch", "1", kUnitInches},
      {"58%", "58", kUnitPercent},
      {"-1.5 %", "-1.5", kUnitPercent},
      {"007pt", "007", kUnitPoints},
  };
  for (const auto& c : cases) {
    Result<Dimension> d = parse_dimension(c.value);
    ASSERT_TRUE(d.ok()) << c.value << ": " << d.error().message;
    EXPECT_EQ(*d, (Dimension{c.number, c.unit})) << c.value;
  }
}

TEST(ParseDimension, Failures) {
  const struct {
    const char* value;
    const char* message;
  } cases[] = {
      {"3em", "unsupported dimension `3em`"},
      {" 12 pts ", "unsupported dimension `12 pts`"},
      {"12", "unsupported dimension `12`"},
      {"", "unsupported dimension ``"},
      {"%", "dimension value is empty"},
      {"  pt", "dimension value is empty"},
      {"1x2pt", "unsupported dimension character `x` in `1x2pt`"},
      {"1X2PT", "unsupported dimension character `X` in `1X2PT`"},
      {"1 2pt", "unsupported dimension character ` ` in `1 2pt`"},
      {"1,5%", "unsupported dimension character `,` in `1,5%`"},
      {"\xC3\xA9"
       "1pt",
       "unsupported dimension character `\xC3\xA9` in `\xC3\xA9"
       "1pt`"},
  };
  for (const auto& c : cases) {
    Result<Dimension> d = parse_dimension(c.value);
    ASSERT_FALSE(d.ok()) << c.value;
    EXPECT_EQ(d.error().message, c.message);
  }
}

TEST(ParseStyleValue, NamesAndFlags) {
  const struct {
    const char* value;
    const char* name;
    std::uint8_t style;
  } cases[] = {
      {"Times New Roman,BI", "Times New Roman", 3},
      {"Times New Roman", "Times New Roman", 0},
      {" Courier New , i ", "Courier New", 2},
      {"Arial, b I", "Arial", 3},
      {"Arial,", "Arial", 0},
      {"Arial,bb", "Arial", 1},
      {"A,B,I", "A,B", 2},  // flags follow the last comma
      {"", "", 0},
  };
  for (const auto& c : cases) {
    Result<StyleValue> s = parse_style_value(c.value);
    ASSERT_TRUE(s.ok()) << c.value << ": " << s.error().message;
    EXPECT_EQ(*s, (StyleValue{c.name, c.style})) << c.value;
  }
}

TEST(ParseStyleValue, Failures) {
  const struct {
    const char* value;
    const char* message;
  } cases[] = {
      {"Arial,x", "unsupported style flag `x` in `Arial,x`"},
      {" Arial , B U ", "unsupported style flag `U` in `Arial , B U`"},
      {"Arial,b\xC3\xA9", "unsupported style flag `\xC3\xA9` in `Arial,b\xC3\xA9`"},
  };
  for (const auto& c : cases) {
    Result<StyleValue> s = parse_style_value(c.value);
    ASSERT_FALSE(s.ok()) << c.value;
    EXPECT_EQ(s.error().message, c.message);
  }
}

TEST(PackDimensionArray, NibblesRunAcrossDimensions) {
  const struct {
    std::vector<Dimension> dims;
    Bytes expected;
  } cases[] = {
      {{{"12", kUnitPoints}, {"58", kUnitPercent}}, {0x21, 0x2F, 0x45, 0x8F}},
      {{{"1", kUnitPoints}}, {0x21, 0xF0}},  // odd count: last code in a high half
      {{{"2.5", kUnitPercent}, {"-1", kUnitInches}}, {0x42, 0xA5, 0xF0, 0xB1, 0xF0}},
      {{{"150", kUnitPercent}, {"100", kUnitPercent}}, {0x41, 0x50, 0xF4, 0x10, 0x0F}},
      {{}, {}},
  };
  for (const auto& c : cases) {
    Bytes out = {0xEE};
    ASSERT_TRUE(pack_dimension_array(c.dims, out).ok());
    EXPECT_EQ(Bytes(out.begin() + 1, out.end()), c.expected);
  }
  Bytes out;
  Status bad = pack_dimension_array(std::vector<Dimension>{{"1e3", kUnitPoints}}, out);
  ASSERT_FALSE(bad.ok());
  EXPECT_EQ(bad.error().message, "unsupported dimension character `e`");
  EXPECT_TRUE(out.empty());
}

TEST(DefinitionRecords, FontAndEncodingDefs) {
  Bytes out;
  const Bytes name = {'A', 'b'};
  ASSERT_TRUE(write_font_def(5, name, out).ok());
  ASSERT_TRUE(write_encoding_def("Enc", out).ok());
  EXPECT_EQ(out, (Bytes{0x11, 0x05, 'A', 'b', 0x00, 0x13, 'E', 'n', 'c', 0x00}));

  out.clear();
  ASSERT_TRUE(write_font_def(255, name, out).ok());
  EXPECT_EQ(out, (Bytes{0x11, 0xFF, 0xFF, 0x00, 'A', 'b', 0x00}));

  out.clear();
  const Bytes with_nul = {'A', 0, 'b'};
  Status s = write_font_def(5, with_nul, out);
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().message, "font name contains NUL");
  s = write_encoding_def(std::string_view("En\0c", 4), out);
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().message, "encoding name contains NUL");
  EXPECT_TRUE(out.empty());
}

TEST(DefinitionRecords, FontStyleDefTakesTheUnsignedFontIndex) {
  Bytes out;
  write_font_style_def(7, 0x01, out);
  write_font_style_def(255, 0x02, out);
  EXPECT_EQ(out, (Bytes{0x08, 0x07, 0x01, 0x08, 0xFF, 0xFF, 0x00, 0x02}));
}

TEST(EncodeFontName, AsciiOnly) {
  Result<Bytes> ok = encode_font_name("Times New Roman");
  ASSERT_TRUE(ok.ok());
  EXPECT_EQ(*ok, (Bytes{'T', 'i', 'm', 'e', 's', ' ', 'N', 'e', 'w', ' ', 'R', 'o', 'm', 'a', 'n'}));
  Result<Bytes> bad = encode_font_name("Ti\xCC\x81mes");
  ASSERT_FALSE(bad.ok());
  EXPECT_EQ(bad.error().message, "font name `Ti\xCC\x81mes` is not ASCII");
}

}  // namespace
}  // namespace quorvix::qvf
