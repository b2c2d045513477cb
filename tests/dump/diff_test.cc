// Lining two listings up.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "quorvix/listing_diff.h"
#include "qvf_bytes.h"

namespace quorvix::tools {
namespace {

using testing::StreamBytes;

Listing listing_of(const std::vector<std::string>& texts, std::size_t offset_step) {
  Listing l;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    ListingLine& line = l.lines.emplace_back();
    line.offset = i * offset_step;
    line.text = texts[i];
  }
  return l;
}

std::size_t changes(const std::vector<DiffEntry>& script) {
  std::size_t n = 0;
  for (const DiffEntry& e : script) n += e.op == DiffOp::kSame ? 0 : 1;
  return n;
}

TEST(ListingDiff, OffsetsTakeNoPartInTheComparison) {
  const Listing a = listing_of({"HEADER", "LINE", "CHAR x", "END of LINE"}, 2);
  const Listing b = listing_of({"HEADER", "LINE", "CHAR x", "END of LINE"}, 7);
  EXPECT_EQ(changes(diff_listings(a, b)), 0u);
}

TEST(ListingDiff, DepthAndKindAreCompared) {
  Listing a = listing_of({"LINE", "CHAR x"}, 1);
  Listing b = a;
  b.lines[1].depth = 1;
  EXPECT_EQ(changes(diff_listings(a, b)), 2u);
  b = a;
  b.lines[1].kind = LineKind::kWarning;
  EXPECT_EQ(changes(diff_listings(a, b)), 2u);
}

// A record inserted into a real stream shows as one added line; everything
// after it lines up again although its offsets moved.
TEST(ListingDiff, InsertedRecordIsOneAddedLine) {
  auto stream = [](bool extra) {
    StreamBytes s;
    s.header().raw({0x0A, 0x01, 0x00}).chr(131, 'a');
    if (extra) s.raw({0x02, 0x04, 0x86, 0x2B, 0x00, 0x2B});
    s.chr(131, 'b').chr(131, 'c').chr(131, 'd').chr(131, 'e').raw({0x00, 0x00});
    return inspect_qvf(s.bytes());
  };
  const Listing a = stream(false);
  const Listing b = stream(true);
  const std::vector<DiffEntry> script = diff_listings(a, b);
  ASSERT_EQ(changes(script), 1u);
  std::size_t added_at = 0;
  for (std::size_t i = 0; i < script.size(); ++i) {
    if (script[i].op == DiffOp::kAdded) added_at = i;
  }
  EXPECT_EQ(b.lines[script[added_at].b].text, "CHAR U+002B '+' typeface 134 (Symbol) position 0x2B");

  DiffRenderOptions options;
  options.context = 1;
  options.a_stream_size = 100;
  options.b_stream_size = 100;
  options.a_label = "A: a.qvf";
  options.b_label = "B: b.qvf";
  EXPECT_EQ(render_diff(a, b, script, options),
            "--- A: a.qvf\n"
            "+++ B: b.qvf\n"
            "@@ A 000F B 000F @@\n"
            "  000F 000F    CHAR U+0061 'a' typeface 131 (Variable)\n"
            "+      0014    CHAR U+002B '+' typeface 134 (Symbol) position 0x2B\n"
            "  0014 001A    CHAR U+0062 'b' typeface 131 (Variable)\n"
            "0 lines only in A, 1 line only in B (offsets not compared)\n");
  options.context = -1;
  options.offsets = false;
  const std::string full = render_diff(a, b, script, options);
  EXPECT_EQ(full.find("@@"), std::string::npos);
  EXPECT_NE(full.find("  HEADER format version 5"), std::string::npos);
  EXPECT_NE(full.find("\n+   CHAR U+002B '+'"), std::string::npos);
  EXPECT_NE(full.find("\n    END of LINE\n  END of stream\n"), std::string::npos);
}

TEST(ListingDiff, SeparateChangesGetSeparateHunks) {
  std::vector<std::string> a_text, b_text;
  for (int i = 0; i < 20; ++i) a_text.push_back("line " + std::to_string(i));
  b_text = a_text;
  b_text[2] = "changed 2";
  b_text[15] = "changed 15";
  DiffRenderOptions options;
  options.context = 2;
  const std::string out = render_diff(listing_of(a_text, 1), listing_of(b_text, 1),
                                      diff_listings(listing_of(a_text, 1), listing_of(b_text, 1)), options);
  std::size_t hunks = 0;
  for (std::size_t at = out.find("@@ "); at != std::string::npos; at = out.find("@@ ", at + 1)) ++hunks;
  EXPECT_EQ(hunks, 2u);
  EXPECT_EQ(out.find("line 8"), std::string::npos);  // far from both changes
  EXPECT_NE(out.find("- 0002       line 2\n+      0002  changed 2\n"), std::string::npos) << out;
  EXPECT_NE(out.find("2 lines only in A, 2 lines only in B"), std::string::npos);
}

// Listings whose differing middles are too long to align in reasonable time
// still line up their common start and end; the middle is shown as changed.
TEST(ListingDiff, OversizedMiddlesFallBackToRemoveAndAdd) {
  std::vector<std::string> a_text{"HEADER"}, b_text{"HEADER"};
  for (int i = 0; i < 15000; ++i) {
    a_text.push_back("a" + std::to_string(i));
    b_text.push_back("b" + std::to_string(i));
  }
  a_text.push_back("END");
  b_text.push_back("END");
  bool exact = true;
  const std::vector<DiffEntry> script = diff_listings(listing_of(a_text, 1), listing_of(b_text, 1), &exact);
  EXPECT_FALSE(exact);
  ASSERT_EQ(script.size(), 30002u);
  EXPECT_EQ(script.front().op, DiffOp::kSame);
  EXPECT_EQ(script.back().op, DiffOp::kSame);
  EXPECT_EQ(script.back().a, 15001u);
  EXPECT_EQ(script.back().b, 15001u);
  EXPECT_EQ(changes(script), 30000u);
}

// The edit script is a longest-common-subsequence alignment: checked against
// a plain dynamic-programming LCS on many small random listings.
TEST(ListingDiff, ScriptIsAMinimalAlignment) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 300; ++round) {
    std::uniform_int_distribution<int> len(0, 14), sym(0, 3);
    std::vector<std::string> a_text(static_cast<std::size_t>(len(rng))),
        b_text(static_cast<std::size_t>(len(rng)));
    for (auto& t : a_text) t = std::string(1, static_cast<char>('a' + sym(rng)));
    for (auto& t : b_text) t = std::string(1, static_cast<char>('a' + sym(rng)));
    const Listing a = listing_of(a_text, 1);
    const Listing b = listing_of(b_text, 1);
    const std::vector<DiffEntry> script = diff_listings(a, b);

    std::vector<std::vector<std::size_t>> dp(a_text.size() + 1,
                                             std::vector<std::size_t>(b_text.size() + 1, 0));
    for (std::size_t i = 1; i <= a_text.size(); ++i) {
      for (std::size_t j = 1; j <= b_text.size(); ++j) {
        dp[i][j] =
            a_text[i - 1] == b_text[j - 1] ? dp[i - 1][j - 1] + 1 : std::max(dp[i - 1][j], dp[i][j - 1]);
      }
    }
    std::vector<std::string> from_a, from_b;
    std::size_t same = 0, next_a = 0, next_b = 0;
    for (const DiffEntry& e : script) {
      if (e.op != DiffOp::kAdded) {
        ASSERT_EQ(e.a, next_a++);
        from_a.push_back(a_text[e.a]);
      }
      if (e.op != DiffOp::kRemoved) {
        ASSERT_EQ(e.b, next_b++);
        from_b.push_back(b_text[e.b]);
      }
      if (e.op == DiffOp::kSame) {
        ++same;
        ASSERT_EQ(a_text[e.a], b_text[e.b]);
      }
    }
    EXPECT_EQ(from_a, a_text);
    EXPECT_EQ(from_b, b_text);
    EXPECT_EQ(same, dp[a_text.size()][b_text.size()]) << "round " << round;
  }
}

}  // namespace
}  // namespace quorvix::tools
