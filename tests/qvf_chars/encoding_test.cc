#include "qvf/tables/encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvix::qvf {
namespace {

using MapFn = Result<AlphabetEntry> (*)(char32_t);

struct MapCase {
  const char* map;
  MapFn fn;
  char32_t ch;
  std::uint8_t position;
  std::uint16_t code;
  std::uint8_t typeface;
};

TEST(AlphabetMaps, Entries) {
  const MapCase cases[] = {
      {"mathbb", mathbb_char, U'A', 'A', 0xF080, 127},
      {"mathbb", mathbb_char, U'Y', 'Y', 0xF098, 127},
      {"mathbb", mathbb_char, U'C', 0xA3, 0x2102, 139},
      {"mathbb", mathbb_char, U'N', 0xA5, 0x2115, 139},
      {"mathbb", mathbb_char, U'Q', 0xA4, 0x211A, 139},
      {"mathbb", mathbb_char, U'R', 0xA1, 0x211D, 139},
      {"mathbb", mathbb_char, U'Z', 0xA2, 0x2124, 139},
      {"mathbb", mathbb_char, U'H', 'H', 0x210D, 127},
      {"mathbb", mathbb_char, U'P', 'P', 0x2119, 127},
      {"mathcal", mathcal_char, U'A', 'A', 0xF100, 127},
      {"mathcal", mathcal_char, U'Z', 'Z', 0xF119, 127},
      {"mathcal", mathcal_char, U'B', 'B', 0x212C, 127},
      {"mathcal", mathcal_char, U'M', 'M', 0x2133, 127},
      {"mathcal", mathcal_char, U'R', 'R', 0x211B, 127},
      {"mathfrak", mathfrak_char, U'A', 'A', 0xF000, 127},
      {"mathfrak", mathfrak_char, U'Y', 'Y', 0xF018, 127},
      {"mathfrak", mathfrak_char, U'a', 'a', 0xF01A, 127},
      {"mathfrak", mathfrak_char, U'z', 'z', 0xF033, 127},
      {"mathfrak", mathfrak_char, U'0', '0', 0x0030, 127},
      {"mathfrak", mathfrak_char, U'7', '7', 0x0037, 127},
      {"mathfrak", mathfrak_char, U'C', 'C', 0x212D, 127},
      {"mathfrak", mathfrak_char, U'Z', 'Z', 0x2128, 127},
      {"mathfrak", mathfrak_char, U'I', 0xC1, 0x2111, 134},
      {"mathfrak", mathfrak_char, U'R', 0xC2, 0x211C, 134},
  };
  for (const MapCase& c : cases) {
    const Result<AlphabetEntry> e = c.fn(c.ch);
    const std::string label = std::string(c.map) + " " + static_cast<char>(c.ch);
    ASSERT_TRUE(e.ok()) << label;
    EXPECT_TRUE(e->has_position) << label;
    EXPECT_EQ(e->position, c.position) << label;
    EXPECT_EQ(e->code, c.code) << label;
    EXPECT_EQ(e->typeface, c.typeface) << label;
    EXPECT_EQ(e->in_own_font(), c.typeface == 127) << label;
  }
}

TEST(AlphabetMaps, CharactersOutsideTheDomainFail) {
  const std::tuple<MapFn, char32_t, const char*> cases[] = {
      {mathcal_char, U'a', "unsupported mathcal character: a"},
      {mathbb_char, U'z', "unsupported mathbb character: z"},
      {mathbb_char, U'1', "unsupported mathbb character: 1"},
      {mathcal_char, U'@', "unsupported mathcal character: @"},
      {mathfrak_char, U'[', "unsupported mathfrak character: ["},
      {mathfrak_char, 0x00E9, "unsupported mathfrak character: \xC3\xA9"},
  };
  for (const auto& [fn, c, message] : cases) {
    const Result<AlphabetEntry> e = fn(c);
    ASSERT_FALSE(e.ok()) << message;
    EXPECT_EQ(e.error().message, message);
  }
}

}  // namespace
}  // namespace quorvix::qvf
