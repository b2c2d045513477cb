// Decoding hand-built QVF streams into listings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quorvix/listing_render.h"
#include "qvf_bytes.h"

namespace quorvix::tools {
namespace {

using testing::stream_preamble;
using testing::StreamBytes;

std::vector<std::string> bodies(const Listing& listing) {
  std::vector<std::string> out;
  for (const ListingLine& line : listing.lines) out.push_back(render_line_body(line));
  return out;
}

// The lines from the first one equal to `first` on (the part of the listing
// after the preamble), or nothing when `first` is missing.
std::vector<std::string> bodies_from(const Listing& listing, const std::string& first) {
  std::vector<std::string> all = bodies(listing);
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i] == first)
      return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(i), all.end());
  }
  return {};
}

const ListingLine* find_line(const Listing& listing, const std::string& body) {
  for (const ListingLine& line : listing.lines) {
    if (render_line_body(line) == body) return &line;
  }
  return nullptr;
}

std::size_t count_prefix(const Listing& listing, const std::string& prefix) {
  std::size_t n = 0;
  for (const std::string& b : bodies(listing)) n += b.rfind(prefix, 0) == 0 ? 1u : 0u;
  return n;
}

TEST(InspectQvf, HeaderSourceRecordAndEmptyBody) {
  StreamBytes s;
  s.header().tex_source("x^2").raw({0x0A, 0x00});
  const Listing l = inspect_qvf(s.bytes());
  EXPECT_TRUE(l.complete);
  EXPECT_EQ(bodies(l),
            (std::vector<std::string>{
                "HEADER format version 5, platform 1, product 0, product version 7.8, key \"QRVX7\", "
                "options 0x01",
                "TEX_SOURCE payload 23 bytes",
                "  language \"TeX Input Language\"",
                "  text \"x^2\"",
                "FULL (full size)",
                "END of stream",
            }));
  EXPECT_EQ(l.lines[1].offset, 12u);
  EXPECT_EQ(l.lines[4].offset, 12u + 2 + 23);
}

TEST(InspectQvf, PlaceholderHeaderAndThreeByteSourceLength) {
  const std::string tex(300, 'a');
  StreamBytes s;
  s.header(0).raw({102, 0xFF, 0x40, 0x01}).cstring("TeX Input Language").cstring(tex).raw({0x0A, 0x00});
  const Listing l = inspect_qvf(s.bytes());
  EXPECT_TRUE(l.complete);
  EXPECT_NE(bodies(l)[0].find("options 0x00 (the translation-failed placeholder)"), std::string::npos);
  EXPECT_EQ(bodies(l)[1], "TEX_SOURCE payload 320 bytes");
  EXPECT_EQ(bodies(l)[3], "  text \"" + tex + "\"");
}

TEST(InspectQvf, DefaultDefinitionsDecodeSizesSpacingAndStyles) {
  StreamBytes s = stream_preamble();
  const std::size_t full_at = s.size();
  s.raw({0x0A, 0x00});
  const Listing l = inspect_qvf(s.bytes());
  ASSERT_TRUE(l.complete) << l.error_reason;
  for (const char* expected : {
           "ENCODING_DEF #5 \"WinAllBasicCodePages\"",
           "FONT_DEF #2 \"Symbol\", encoding 3 (Symbol)",
           "FONT_DEF #4 \"QV Extra\", encoding 4 (QV Extra)",
           "ENCODING_DEF #6 \"WinAllCodePages\"",
           "FONT_DEF #5 \"\\xCB\\xCE\\xCC\\xE5\" (SimSun in GBK), encoding 6 (\"WinAllCodePages\")",
           "  size Full = 12 pt",
           "  size Script = 58 %",
           "  size Symbol = 150 %",
           "  size SmallLargeIncr = 1 pt",
           "  spacing LineSpacing = 150 %",
           "  spacing SubFractBarThick = 2.5 %",
           "  spacing CharWidth = 0 %",
           "  spacing EmbellGap = 12.5 %",
           "  spacing HorizFenceGap = 10 %",
           "  style Variable (typeface 131) = font #1 \"Times New Roman\", italic",
           "  style Vector (typeface 135) = font #1 \"Times New Roman\", bold",
           "  style User1 (typeface 137) = font #3 \"Courier New\", regular",
           "  style TextFE (typeface 140) = font #5 \"\\xCB\\xCE\\xCC\\xE5\" (SimSun in GBK), regular",
       }) {
    EXPECT_NE(find_line(l, expected), nullptr) << expected;
  }
  EXPECT_EQ(count_prefix(l, "  size "), 8u);
  EXPECT_EQ(count_prefix(l, "  spacing "), 30u);
  EXPECT_EQ(count_prefix(l, "  style "), 12u);
  EXPECT_EQ(count_prefix(l, "warning"), 0u);
  // The packed dimensions were consumed exactly: FULL is found where it was written.
  const ListingLine* full = find_line(l, "FULL (full size)");
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(full->offset, full_at);
}

TEST(InspectQvf, LineWithCharactersAndEmbellishments) {
  StreamBytes s = stream_preamble("x");
  s.raw({0x0A, 0x01, 0x00});                                     // FULL, LINE
  s.raw({0x10, 0, 0, 0, 0, 0, 0, 0, 0x0F, 0x01});                // black COLOR_DEF, COLOR 1
  s.chr(131, 'x');                                               // x in the variable style
  s.raw({0x02, 0x04, 0x84, 0xB1, 0x03, 0x61});                   // alpha with its 8-bit position
  s.raw({0x02, 0x01, 0x83, 'y', 0x00, 6, 0, 6, 6, 0, 5, 0x00});  // y''' as double prime + prime
  s.raw({0x02, 0x05, 0x86, 0x12, 0x22, 0x2D, 6, 0, 10, 0x00});   // minus with position, negated
  s.raw({0x02, 0x00, 0x98, 0x05, 0xEF});                         // a space of width 5
  s.raw({0x02, 0x80, 0x81, '\\', 0x00});                         // raw TeX
  s.raw({0x02, 0x02, 0x82, 's', 0x00});                          // first letter of a function name
  s.raw({0x00, 0x00});
  const Listing l = inspect_qvf(s.bytes());
  ASSERT_TRUE(l.complete) << l.error_reason;
  EXPECT_EQ(bodies_from(l, "LINE"),
            (std::vector<std::string>{
                "LINE",
                "  COLOR_DEF #1 rgb(0, 0, 0) black",
                "  COLOR 1 (definition #1: rgb(0, 0, 0) black)",
                "  CHAR U+0078 'x' typeface 131 (Variable: \"Times New Roman\" italic)",
                "  CHAR U+03B1 'α' typeface 132 (LCGreek: \"Symbol\" italic) position 0x61",
                "  CHAR U+0079 'y' typeface 131 (Variable: \"Times New Roman\" italic) [embellished]",
                "    EMBELL 6 (double prime)",
                "    EMBELL 5 (prime)",
                "    END of embellishments",
                "  CHAR U+2212 '−' typeface 134 (Symbol: \"Symbol\" regular) position 0x2D [embellished]",
                "    EMBELL 10 (not (stroke))",
                "    END of embellishments",
                "  CHAR U+EF05 (private use) (space, width 5) typeface 152 (space)",
                "  CHAR U+005C '\\' typeface 129 (Text: \"Times New Roman\" regular) [raw TeX]",
                "  CHAR U+0073 's' typeface 130 (Function: \"Times New Roman\" regular) [function start]",
                "  END of LINE",
                "END of stream",
            }));
}

TEST(InspectQvf, TemplatesPilesAndMatricesNameTheirSlots) {
  StreamBytes s = stream_preamble("t");
  s.raw({0x0A, 0x01, 0x00});
  s.raw({0x03, 0x00, 0x0B, 0x00, 0x00, 0x0F, 0x00});  // fraction
  s.raw({0x01, 0x00}).chr(131, 'a').raw({0x00});
  s.raw({0x01, 0x01});  // null denominator
  s.raw({0x00});
  s.raw({0x03, 0x00, 0x1C, 0x00, 0x00, 0x0B, 0x01, 0x01, 0x01, 0x00}).chr(136, '2').raw({0x00, 0x00});  // x^2
  s.raw({0x03, 0x00, 0x01, 0x03, 0x00, 0x04, 0x00, 0x02, 0x01});  // binomial
  s.raw({0x01, 0x00}).chr(131, 'n').raw({0x00, 0x01, 0x00}).chr(131, 'k').raw({0x00, 0x00});
  s.raw({0x02, 0x00, 0x96, 0x28, 0x00, 0x02, 0x00, 0x96, 0x29, 0x00, 0x00});
  s.raw({0x05, 0x00, 0x01, 0x01, 0x01, 0x01, 0x02, 0x00, 0x00});  // 1 x 2 matrix, partition bytes
  s.raw({0x01, 0x00}).chr(131, 'p').raw({0x00, 0x01, 0x00, 0x00, 0x00});
  s.raw({0x00, 0x00});
  const Listing l = inspect_qvf(s.bytes());
  ASSERT_TRUE(l.complete) << l.error_reason;
  EXPECT_EQ(bodies_from(l, "LINE"),
            (std::vector<std::string>{
                "LINE",
                "  TMPL fraction (selector 0x0B, variation 0x00: full size)",
                "    COLOR 0 (default colour)",
                "    LINE (slot 1: numerator)",
                "      CHAR U+0061 'a' typeface 131 (Variable: \"Times New Roman\" italic)",
                "      END of LINE",
                "    LINE null (slot 2: denominator)",
                "    END of TMPL fraction",
                "  TMPL superscript (selector 0x1C, variation 0x00)",
                "    SUB (subscript size)",
                "    LINE null (slot 1: subscript)",
                "    LINE (slot 2: superscript)",
                "      CHAR U+0032 '2' typeface 136 (Number: \"Times New Roman\" regular)",
                "      END of LINE",
                "    END of TMPL superscript",
                "  TMPL parentheses (selector 0x01, variation 0x03: both fences)",
                "    PILE horizontal alignment 2, vertical alignment 1 (slot 1: body)",
                "      LINE (row 1)",
                "        CHAR U+006E 'n' typeface 131 (Variable: \"Times New Roman\" italic)",
                "        END of LINE",
                "      LINE (row 2)",
                "        CHAR U+006B 'k' typeface 131 (Variable: \"Times New Roman\" italic)",
                "        END of LINE",
                "      END of PILE",
                "    CHAR U+0028 '(' typeface 150 (expanding glyph)",
                "    CHAR U+0029 ')' typeface 150 (expanding glyph)",
                "    END of TMPL parentheses",
                "  MATRIX 1 row x 2 columns, vertical alignment 1, horizontal justification 1, vertical "
                "justification 1, row partitions 00, column partitions 00",
                "    LINE (row 1, column 1)",
                "      CHAR U+0070 'p' typeface 131 (Variable: \"Times New Roman\" italic)",
                "      END of LINE",
                "    LINE (row 1, column 2)",
                "      END of LINE",
                "    END of MATRIX",
                "  END of LINE",
                "END of stream",
            }));
}

TEST(InspectQvf, TemplateSelectorsAndVariationsByName) {
  struct Case {
    int selector, variation;
    const char* expected;
  };
  const Case cases[] = {
      {0x0A, 0x01, "TMPL radical (selector 0x0A, variation 0x01: root with index)"},
      {0x0E, 0x2C,
       "TMPL extensible arrow (selector 0x0E, variation 0x2C: pointing right, upper label, lower label)"},
      {0x0F, 0x13, "TMPL integral (selector 0x0F, variation 0x13: triple, with limits)"},
      {0x10, 0x70, "TMPL sum (selector 0x10, variation 0x70: lower, upper, limits over and under)"},
      {0x17, 0x20, "TMPL limit (selector 0x17, variation 0x20: upper)"},
      {0x18, 0x01, "TMPL horizontal brace (selector 0x18, variation 0x01: over)"},
      {0x1F, 0x06, "TMPL arrow accent (selector 0x1F, variation 0x06: right, under)"},
      {0x24, 0x06, "TMPL strike-out (selector 0x24, variation 0x06: rising diagonal, falling diagonal)"},
      {0x07, 0x01, "TMPL ceiling brackets (selector 0x07, variation 0x01: left fence only)"},
      {0x30, 0x00, "TMPL unknown template (selector 0x30, variation 0x00)"},
  };
  for (const Case& c : cases) {
    StreamBytes s;
    s.header().raw({0x03, 0x00, c.selector, c.variation, 0x00, 0x00, 0x00});
    const Listing l = inspect_qvf(s.bytes());
    ASSERT_TRUE(l.complete) << l.error_reason;
    EXPECT_EQ(bodies(l)[1], c.expected);
  }
}

TEST(InspectQvf, FontsDefinedOnDemandAndColoursResolveByIndex) {
  StreamBytes s = stream_preamble("c");
  s.raw({0x0A, 0x01, 0x00});
  s.raw({0x13}).cstring("CalvaneMath1").raw({0x11, 7}).cstring("Calvane Math One").raw({0x08, 6, 0});
  s.raw({0x02, 0x04, 0x7F, 0xF5, 0x03, 0xF2});  // a character in the font style just defined
  s.raw({0x02, 0x00, 0x7E, 0x41, 0x00});        // typeface 126: nothing defines it
  s.raw({0x10, 0, 0, 0, 0, 0, 0, 0, 0x10, 0, 0xE8, 0x03, 0, 0, 0, 0, 0x0F, 0x02, 0x0F, 0x03, 0x0F, 0x00});
  s.raw({0x00, 0x00});
  const Listing l = inspect_qvf(s.bytes());
  ASSERT_TRUE(l.complete) << l.error_reason;
  EXPECT_EQ(
      bodies_from(l, "LINE"),
      (std::vector<std::string>{
          "LINE",
          "  ENCODING_DEF #7 \"CalvaneMath1\"",
          "  FONT_DEF #6 \"Calvane Math One\", encoding 7 (\"CalvaneMath1\")",
          "  FONT_STYLE_DEF #1 (typeface byte 127): font #6 \"Calvane Math One\", regular",
          "  CHAR U+03F5 'ϵ' typeface 127 (style definition #1: \"Calvane Math One\" regular) position 0xF2",
          "  CHAR U+0041 'A' typeface 126 (style definition #2, not defined before this point)",
          "  COLOR_DEF #1 rgb(0, 0, 0) black",
          "  COLOR_DEF #2 rgb(1000, 0, 0) red",
          "  COLOR 2 (definition #2: rgb(1000, 0, 0) red)",
          "  COLOR 3 (no definition #3 before this point)",
          "  COLOR 0 (default colour)",
          "  END of LINE",
          "END of stream",
      }));
}

TEST(InspectQvf, UnsignedIntegersInTheirThreeByteForm) {
  StreamBytes s;
  s.header().raw({0x08, 0xFF, 0xFF, 0x00, 0x01, 0x0F, 0xFF, 0x05, 0x00, 0x00});
  const Listing l = inspect_qvf(s.bytes());
  ASSERT_TRUE(l.complete) << l.error_reason;
  EXPECT_EQ(bodies(l)[1],
            "FONT_STYLE_DEF #1 (typeface byte 127): font #255 (not defined before this point), bold");
  EXPECT_EQ(bodies(l)[2], "warning: the colour index of the COLOR 5 uses the three-byte form");
  EXPECT_EQ(bodies(l)[3], "COLOR 5 (no definition #5 before this point)");
}

struct Malformed {
  const char* name;
  testing::StreamBytes stream;
  std::size_t offset;
  std::string reason;
};

std::vector<Malformed> malformed_cases() {
  std::vector<Malformed> cases;
  auto add = [&cases](const char* name, StreamBytes s, std::size_t offset, std::string reason) {
    cases.push_back({name, std::move(s), offset, std::move(reason)});
  };
  add("empty input", StreamBytes(), 0,
      "expected the stream header: version, platform, product and product version (5 bytes), but the stream "
      "ends");
  add("header without the key's NUL", StreamBytes().raw({5, 1, 0, 7, 8}).text("QRVX7"), 5,
      "expected the NUL that ends the application key of the header, but the stream ends");
  add("header without options", StreamBytes().raw({5, 1, 0, 7, 8}).cstring("QRVX7"), 11,
      "expected the equation options byte of the header (1 byte), but the stream ends");
  add("no closing END", StreamBytes().header().raw({0x0A}), 13,
      "the stream ends without the END that closes it");
  add("stream ends inside a LINE", StreamBytes().header().raw({0x0A, 0x01, 0x00, 0x02, 0x00, 0x83, 'x', 0}),
      20, "the stream ends inside the LINE opened at 0x000D: expected a record or END");
  add("unknown tag", StreamBytes().header().raw({0x0A, 0x01, 0x00, 0x2A}), 15,
      "unknown record tag 0x2A (42)");
  add("CHAR cut short in its code", StreamBytes().header().raw({0x02, 0x00, 0x83, 0x78}), 14,
      "expected the typeface byte and 16-bit code of the CHAR (3 bytes), but the stream ends after 2 more "
      "bytes");
  add("CHAR without its position", StreamBytes().header().raw({0x02, 0x04, 0x84, 0xB1, 0x03}), 17,
      "expected the 8-bit font position of the CHAR (1 byte), but the stream ends");
  add("LINE options with unknown bits", StreamBytes().header().raw({0x01, 0x08, 0x00}), 13,
      "LINE options 0x08 carry bits 0x08 that this format does not define, so the record's length is "
      "unknown");
  add("CHAR options with unknown bits", StreamBytes().header().raw({0x02, 0x10, 0x83, 0x78, 0x00}), 13,
      "CHAR options 0x10 carry bits 0x10 that this format does not define, so the record's length is "
      "unknown");
  add("other record inside an embellishment list",
      StreamBytes().header().raw({0x02, 0x01, 0x83, 0x78, 0x00, 0x06, 0x00, 0x09, 0x02}), 20,
      "expected EMBELL or END in the embellishment list of the CHAR at 0x000C, found tag 2 (CHAR)");
  add("bytes after the final END", StreamBytes().header().raw({0x0A, 0x00, 0x00, 0x00}), 14,
      "2 bytes follow the END that closes the stream");
  add("source length beyond the stream",
      StreamBytes().header().raw({102, 0x30}).cstring("TeX Input Language"), 14,
      "expected the TEX_SOURCE payload (48 bytes), but the stream ends after 19 more bytes");
  add("unsigned cut after 0xFF", StreamBytes().header().raw({0x0F, 0xFF, 0x01}), 14,
      "expected the colour index of the COLOR, the 16 bits after its 0xFF prefix (2 bytes), but the stream "
      "ends "
      "after 1 more byte");
  add("font name without NUL", StreamBytes().header().raw({0x11, 0x05}).text("Times"), 14,
      "expected the NUL that ends the font name of the FONT_DEF, but the stream ends");
  add("EQN_PREFS cut inside the spacing",
      StreamBytes().header().raw({0x12, 0x00, 0x01, 0x21, 0x2F, 0x02, 0x41, 0x50}), 20,
      "the stream ends inside EQN_PREFS spacing LineSpacing");
  add("MATRIX without its partition bytes", StreamBytes().header().raw({0x05, 0x00, 1, 1, 1, 2, 2, 0}), 19,
      "expected the row and column partition bytes of the MATRIX (2 bytes), but the stream ends after 1 more "
      "byte");
  add("RULER record", StreamBytes().header().raw({0x01, 0x00, 0x07, 0x00}), 14,
      "RULER record (tag 7): this format's writer does not use it and its layout is not decoded");
  return cases;
}

TEST(InspectQvf, MalformedStreamsStopWithOffsetAndReason) {
  for (const Malformed& c : malformed_cases()) {
    SCOPED_TRACE(c.name);
    const Listing l = inspect_qvf(c.stream.bytes());
    EXPECT_FALSE(l.complete);
    EXPECT_EQ(l.error_offset, c.offset);
    EXPECT_EQ(l.error_reason, c.reason);
    ASSERT_FALSE(l.lines.empty());
    EXPECT_EQ(l.lines.back().kind, LineKind::kError);
    EXPECT_EQ(l.lines.back().offset, c.offset);
  }
}

// Cutting a complete stream anywhere leaves a listing that stops inside the
// bytes it was given; only the whole stream decodes completely. (Run under
// AddressSanitizer this also shows that no read goes past the end.)
TEST(InspectQvf, EveryTruncationStopsWithinTheStream) {
  StreamBytes s = stream_preamble("\\frac{a}{b}");
  s.raw({0x0A, 0x01, 0x00, 0x10, 0, 0, 0, 0, 0, 0, 0, 0x0F, 0x01});
  s.raw({0x03, 0x00, 0x0B, 0x00, 0x00, 0x0F, 0x00, 0x01, 0x00}).chr(131, 'a').raw({0x00, 0x0F, 0x00});
  s.raw({0x01, 0x00, 0x02, 0x05, 0x83, 'b', 0x00, 0x62, 0x06, 0x00, 0x09, 0x00, 0x00, 0x00, 0x00, 0x00});
  ASSERT_TRUE(inspect_qvf(s.bytes()).complete);
  for (std::size_t n = 0; n < s.size(); ++n) {
    const Bytes cut(s.bytes().begin(), s.bytes().begin() + static_cast<std::ptrdiff_t>(n));
    const Listing l = inspect_qvf(cut);
    EXPECT_FALSE(l.complete) << n;
    EXPECT_LE(l.error_offset, n) << n;
    EXPECT_FALSE(l.error_reason.empty()) << n;
  }
}

TEST(InspectQvf, CompactListingFoldsRunsOfPlainCharacters) {
  StreamBytes s;
  s.header().raw({0x0A, 0x01, 0x00});
  for (char c : std::string("\\foo")) s.raw({0x02, 0x80, 0x81, c, 0x00});
  s.chr(131, 'x').chr(131, 'y').raw({0x02, 0x04, 0x86, 0x2B, 0x00, 0x2B}).chr(131, 'z');
  s.chr(152, 0xEF05).chr(152, 0xEF05);  // spaces have no printable code and stay apart
  s.raw({0x00, 0x00});
  const Listing folded = fold_character_runs(inspect_qvf(s.bytes()));
  EXPECT_TRUE(folded.complete);
  EXPECT_EQ(bodies_from(folded, "LINE"),
            (std::vector<std::string>{
                "LINE",
                "  CHARS \"\\\\foo\" typeface 129 (Text) [raw TeX] (4 records)",
                "  CHARS \"xy\" typeface 131 (Variable) (2 records)",
                "  CHAR U+002B '+' typeface 134 (Symbol) position 0x2B",
                "  CHAR U+007A 'z' typeface 131 (Variable)",
                "  CHAR U+EF05 (private use) (space, width 5) typeface 152 (space)",
                "  CHAR U+EF05 (private use) (space, width 5) typeface 152 (space)",
                "  END of LINE",
                "END of stream",
            }));
  EXPECT_EQ(folded.lines[3].offset, 15u);  // the run keeps the offset of its first record
}

// Nesting is followed without recursion, and the indentation stops growing,
// so a stream of 100 000 nested lines neither overflows nor explodes.
TEST(InspectQvf, DeepNestingStaysLinear) {
  StreamBytes s;
  s.header();
  for (int i = 0; i < 100000; ++i) s.raw({0x01, 0x00});
  for (int i = 0; i < 100000; ++i) s.raw({0x00});
  s.raw({0x00});
  const Listing l = inspect_qvf(s.bytes());
  ASSERT_TRUE(l.complete) << l.error_reason;
  EXPECT_EQ(l.lines[100001].depth, 100000);
  EXPECT_EQ(render_line_body(l.lines[100001]), std::string(64, ' ') + "(depth 100000) END of LINE");
}

TEST(InspectQvf, RenderedListingHasOffsetColumnAndIndentation) {
  StreamBytes s;
  s.header().raw({0x0A, 0x01, 0x00, 0x00, 0x00});
  const Listing l = inspect_qvf(s.bytes());
  const std::string with = render_listing(l, RenderOptions{}, s.size());
  EXPECT_NE(with.find("000C  FULL (full size)\n000D  LINE\n000F    END of LINE\n0010  END of stream\n"),
            std::string::npos);
  RenderOptions plain;
  plain.offsets = false;
  EXPECT_NE(render_listing(l, plain, s.size()).find("FULL (full size)\nLINE\n  END of LINE\nEND of stream\n"),
            std::string::npos);
}

}  // namespace
}  // namespace quorvix::tools
