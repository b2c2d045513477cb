#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <barrier>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "fixed_defs/eqp_fixture.h"
#include "qvf/definitions/fixed_defs.h"
#include "qvf/definitions/fixed_defs_eqp.h"
#include "support/default_definitions.h"

namespace quorvix::qvf {
namespace {

void append_record(Bytes& out, std::initializer_list<std::uint8_t> head, std::string_view name) {
  out.insert(out.end(), head);
  append_bytes(out, name);
  out.push_back(0);
}

Bytes builtin() {
  const auto b = builtin_fixed_defs();
  return Bytes(b.begin(), b.end());
}

// The font part of a block: everything before the EQN_PREFS record.
Bytes font_records(const Bytes& block) {
  const auto prefs = std::find(block.begin(), block.end(), std::uint8_t{0x12});
  return Bytes(block.begin(), prefs);
}

// The style entries at the end of a block: 12 pairs (font number, style byte).
Bytes style_entries(const Bytes& block) { return Bytes(block.end() - 24, block.end()); }

Result<Bytes> build(const EqpText& eqp) { return build_fixed_defs_from_eqp_text(eqp.str()); }

TEST(BuiltinFixedDefs, MatchesTheDocumentedBlock) {
  const Bytes expected = test_support::default_definitions();
  ASSERT_EQ(expected.size(), 204u);
  EXPECT_EQ(builtin(), expected);
}

// The builder, given the default settings, reproduces the built-in block;
// comments, blank lines, CRLF, spacing around '=', foreign sections and
// lines before the first section do not change it.
TEST(BuildFromText, DefaultSettingsGiveTheBuiltinBlock) {
  Result<Bytes> plain = build(EqpText());
  ASSERT_TRUE(plain.ok()) << plain.error().message;
  EXPECT_EQ(*plain, builtin());

  std::string noisy = "Full = 99pt\r\n; comment\n\n[Other]\nText = Wingdings\r\n[Spacing]\nLineSpacing=1pt\n";
  for (char c : EqpText().set("Sizes", "Full", "12 pt").str()) {
    noisy += c;
    if (c == '=') noisy += "  ";
    if (c == '\n') noisy.insert(noisy.size() - 1, "\r");
  }
  noisy += "  ;trailing comment\n[]\nText=Arial\n";
  Result<Bytes> tolerant = build_fixed_defs_from_eqp_text(noisy);
  ASSERT_TRUE(tolerant.ok()) << tolerant.error().message;
  EXPECT_EQ(*tolerant, builtin());
}

TEST(BuildFromText, FontsAreSharedAndNumberedInOrderOfFirstUse) {
  const EqpText eqp = EqpText()
                          .set("Styles", "Text", "Arial")
                          .set("Styles", "Function", "Arial,B")
                          .set("Styles", "Variable", "Times New Roman,I")
                          .set("Styles", "User1", "symbol")  // not the exact name "Symbol"
                          .set("Styles", "TextFE", "MS Mincho,BI");
  Result<Bytes> block = build(eqp);
  ASSERT_TRUE(block.ok()) << block.error().message;
  Bytes fonts;
  append_record(fonts, {0x13}, "WinAllBasicCodePages");
  append_record(fonts, {0x11, 0x05}, "Arial");
  append_record(fonts, {0x11, 0x05}, "Times New Roman");
  append_record(fonts, {0x11, 0x03}, "Symbol");
  append_record(fonts, {0x11, 0x05}, "symbol");
  append_record(fonts, {0x11, 0x04}, "QV Extra");
  append_record(fonts, {0x13}, "WinAllCodePages");
  append_record(fonts, {0x11, 0x06}, "MS Mincho");
  EXPECT_EQ(font_records(*block), fonts);
  // Text Function Variable LCGreek UCGreek Symbol Vector Number User1 User2 QVExtra TextFE
  EXPECT_EQ(style_entries(*block),
            (Bytes{1, 0, 1, 1, 2, 2, 3, 2, 3, 0, 3, 0, 2, 1, 2, 0, 4, 0, 2, 0, 5, 0, 6, 3}));
}

TEST(BuildFromText, FarEastStyle) {
  const struct {
    const char* value;  // nullptr: no TextFE line
    std::string name;
    std::uint8_t style;
  } cases[] = {
      {nullptr, "\xCB\xCE\xCC\xE5", 0},
      {"SimSun", "\xCB\xCE\xCC\xE5", 0},
      {"Songti, b", "\xCB\xCE\xCC\xE5", 1},
      {"simsun", "simsun", 0},
      {"Times New Roman,I", "Times New Roman", 2},  // its own FONT_DEF even when another style uses the name
  };
  for (const auto& c : cases) {
    EqpText eqp;
    if (c.value) eqp.set("Styles", "TextFE", c.value);
    Result<Bytes> block = build(eqp);
    ASSERT_TRUE(block.ok()) << block.error().message;
    Bytes far_east;
    append_record(far_east, {0x13}, "WinAllCodePages");
    append_record(far_east, {0x11, 0x06}, c.name);
    const Bytes fonts = font_records(*block);
    ASSERT_GE(fonts.size(), far_east.size());
    EXPECT_EQ(Bytes(fonts.end() - static_cast<std::ptrdiff_t>(far_east.size()), fonts.end()), far_east)
        << (c.value ? c.value : "<absent>");
    EXPECT_EQ(style_entries(*block)[22], 5);
    EXPECT_EQ(style_entries(*block)[23], c.style);
  }
}

TEST(BuildFromText, KeyVariantsAndDuplicates) {
  // The misspelt strike-through key is accepted, the right one wins when both are there.
  const EqpText misspelt =
      EqpText().remove("Spacing", "StrikeThruThick").set("Spacing", "StikeThruThick", "5%");
  Result<Bytes> a = build(misspelt);
  ASSERT_TRUE(a.ok()) << a.error().message;
  EXPECT_EQ(*a, builtin());
  Result<Bytes> b = build(EqpText().set("Spacing", "StikeThruThick", "9%"));
  ASSERT_TRUE(b.ok());
  EXPECT_EQ(*b, builtin());
  // A later duplicate replaces an earlier one.
  Result<Bytes> c =
      build_fixed_defs_from_eqp_text(EqpText().set("Sizes", "Full", "10pt").str() + "[Sizes]\nFull=12pt\n");
  ASSERT_TRUE(c.ok());
  EXPECT_EQ(*c, builtin());
  // Keys are case-sensitive.
  Result<Bytes> d = build(EqpText().remove("Sizes", "Full").set("Sizes", "full", "12pt"));
  ASSERT_FALSE(d.ok());
  EXPECT_EQ(d.error().message, "missing `Full` in Quorvix prefs");
}

// Every message a preferences file can produce, from a real file.
TEST(PrefsFile, Messages) {
  TempDir dir;
  const struct {
    std::string content;
    std::string message;  // after "failed to parse PATH: "
  } cases[] = {
      {EqpText().str() + "Full 12pt\n", "invalid key/value line: Full 12pt"},
      {"[Other]\n  no pair here \t\n", "invalid key/value line: no pair here"},
      {"[Sizes]\n[x\n", "invalid key/value line: [x"},
      // Before any section header the file may be anything: its lines are not quoted.
      {"root:x:0:0:root:/root:/bin/bash\n", "not a preferences file"},
      {"; comment\n\nKEY=value\nsecret line\n[Sizes]\nFull 12pt\n", "not a preferences file"},
      {"no line feed at all", "not a preferences file"},
      {"[\nsecret\n", "not a preferences file"},
      {"[]\nsecret\n", "invalid key/value line: secret"},
      {EqpText().remove("Sizes", "Full").str() + "[Other]\nFull=12pt\n", "missing `Full` in Quorvix prefs"},
      {EqpText().remove("Spacing", "HorizFenceGap").str(), "missing `HorizFenceGap` in Quorvix prefs"},
      {EqpText().remove("Spacing", "StrikeThruThick").str(), "missing `StrikeThruThick` in Quorvix prefs"},
      {EqpText().remove("Styles", "QVExtra").str(), "missing `QVExtra` in Quorvix prefs"},
      {EqpText().set("Sizes", "Script", "3em").str(), "unsupported dimension `3em`"},
      {EqpText().set("Spacing", "MinGap", " % ").str(), "dimension value is empty"},
      {EqpText().set("Spacing", "MinGap", "1x2pt").str(), "unsupported dimension character `x` in `1x2pt`"},
      {EqpText().set("Styles", "Vector", "Arial,x").str(), "unsupported style flag `x` in `Arial,x`"},
      {EqpText().set("Styles", "TextFE", "Arial,q").str(), "unsupported style flag `q` in `Arial,q`"},
      {EqpText().set("Styles", "Text", "T\xC3\xADmes").str(), "font name `T\xC3\xADmes` is not ASCII"},
      {EqpText().set("Styles", "TextFE", "\xE5\xAE\x8B\xE4\xBD\x93").str(),
       "font name `\xE5\xAE\x8B\xE4\xBD\x93` is not ASCII"},
      {EqpText().set("Styles", "Text", std::string("Ti\0mes", 6)).str(), "font name contains NUL"},
      {EqpText().set("Styles", "TextFE", std::string("A\0", 2)).str(), "font name contains NUL"},
      // Sizes are read before spacing, spacing before styles.
      {EqpText()
           .set("Styles", "Text", "A,x")
           .set("Spacing", "MinGap", "1em")
           .set("Sizes", "User2", "2em")
           .str(),
       "unsupported dimension `2em`"},
  };
  for (const auto& c : cases) {
    const std::string path = dir.write("case.eqp", c.content);
    Result<Bytes> block = fixed_defs_from_prefs_file(path);
    ASSERT_FALSE(block.ok()) << c.message;
    EXPECT_EQ(block.error().message, "failed to parse " + path + ": " + c.message);
  }
}

TEST(PrefsFile, ReadFailures) {
  TempDir dir;
  const std::string missing = dir.path() + "/missing.eqp";
  const std::string not_utf8 = dir.write("latin1.eqp", EqpText().set("Styles", "Text", "T\xEDmes").str());
  // Neither a FIFO without a writer nor an endless device may block or fill
  // memory; a file past the cap is refused before it is read.
  const std::string fifo = dir.path() + "/fifo.eqp";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string huge = dir.write("huge.eqp", std::string((1u << 20) + 1, 'x'));
  const struct {
    std::string path;
    std::string reason;
  } cases[] = {
      {missing, "No such file or directory"},
      {dir.path(), "Is a directory"},
      {not_utf8, "stream did not contain valid UTF-8"},
      {fifo, "not a regular file"},
      {"/dev/zero", "not a regular file"},
      {huge, "file is larger than 1048576 bytes"},
  };
  for (const auto& c : cases) {
    Result<Bytes> block = fixed_defs_from_prefs_file(c.path);
    ASSERT_FALSE(block.ok()) << c.path;
    EXPECT_EQ(block.error().message, "failed to read " + c.path + ": " + c.reason);
  }
}

TEST(PrefsFile, ReadsUpToTheCapWhateverTheFileReportsAsItsSize) {
  TempDir dir;
  const std::string text = EqpText().set("Styles", "Text", "Arial").str();
  Result<Bytes> plain = fixed_defs_from_prefs_file(dir.write("plain.eqp", text));
  ASSERT_TRUE(plain.ok()) << plain.error().message;

  // Padded with comment lines to exactly the cap: still read whole.
  std::string padded = text;
  const std::size_t cap = std::size_t{1} << 20;
  while (padded.size() + 128 <= cap) padded += ";" + std::string(62, 'c') + "\n";
  padded += ";" + std::string(cap - padded.size() - 2, 'c') + "\n";
  ASSERT_EQ(padded.size(), cap);
  Result<Bytes> at_cap = fixed_defs_from_prefs_file(dir.write("at_cap.eqp", padded));
  ASSERT_TRUE(at_cap.ok()) << at_cap.error().message;
  EXPECT_EQ(*at_cap, *plain);

  // A regular file whose reported size is 0 is read to its end: its text
  // reaches the parser.
  Result<Bytes> proc = fixed_defs_from_prefs_file("/proc/self/status");
  ASSERT_FALSE(proc.ok());
  EXPECT_EQ(proc.error().message, "failed to parse /proc/self/status: not a preferences file");

  // The checks apply to what the path leads to, not to a link.
  const std::string link = dir.path() + "/zero.eqp";
  ASSERT_EQ(::symlink("/dev/zero", link.c_str()), 0);
  Result<Bytes> through_link = fixed_defs_from_prefs_file(link);
  ASSERT_FALSE(through_link.ok());
  EXPECT_EQ(through_link.error().message, "failed to read " + link + ": not a regular file");
}

TEST(PrefsFile, BuildsItsOwnBlockAndAppendsIt) {
  TempDir dir;
  const std::string path = dir.write("arial.eqp", EqpText().set("Styles", "Text", "Arial").str());
  Result<Bytes> block = fixed_defs_from_prefs_file(path);
  ASSERT_TRUE(block.ok()) << block.error().message;
  EXPECT_NE(*block, builtin());

  // A leading byte-order mark is not part of the first line.
  const std::string with_bom =
      dir.write("bom.eqp", "\xEF\xBB\xBF" + EqpText().set("Styles", "Text", "Arial").str());
  Result<Bytes> bom_block = fixed_defs_from_prefs_file(with_bom);
  ASSERT_TRUE(bom_block.ok()) << bom_block.error().message;
  EXPECT_EQ(*bom_block, *block);

  Bytes stream = {0xAA};
  ASSERT_TRUE(append_fixed_defs(path, stream).ok());
  EXPECT_EQ(Bytes(stream.begin() + 1, stream.end()), *block);

  Bytes untouched = {0xAA};
  Status failed = append_fixed_defs(dir.path() + "/none.eqp", untouched);
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(untouched, Bytes{0xAA});
}

TEST(DefaultDefinitions, PathBuilder) {
  TempDir dir;
  Result<Bytes> absent = build_fixed_defs_from_default_path(dir.path() + "/assets/Times+Symbol 12.eqp");
  ASSERT_TRUE(absent.ok());
  EXPECT_EQ(*absent, builtin());

  const std::string custom = dir.write("custom.eqp", EqpText().set("Sizes", "Full", "10pt").str());
  Result<Bytes> present = build_fixed_defs_from_default_path(custom);
  ASSERT_TRUE(present.ok());
  EXPECT_EQ(*present, *fixed_defs_from_prefs_file(custom));
  EXPECT_NE(*present, builtin());

  const std::string broken = dir.write("broken.eqp", "[Sizes]\nFull=12pt\n");
  Result<Bytes> failed = build_fixed_defs_from_default_path(broken);
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.error().message, "failed to parse " + broken + ": missing `Script` in Quorvix prefs");
}

// Many threads asking at once: one build, one shared result.
TEST(DefaultDefinitions, BuiltOnceUnderConcurrentFirstUse) {
  constexpr int kThreads = 16;
  std::atomic<int> builds{0};
  OnceBuiltDefs cell([&]() -> Result<Bytes> {
    ++builds;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // keep the others waiting
    return builtin();
  });
  std::barrier start(kThreads);
  std::vector<const Result<Bytes>*> seen(kThreads, nullptr);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i)
    threads.emplace_back([&, i] {
      start.arrive_and_wait();
      seen[static_cast<std::size_t>(i)] = &cell.get();
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(builds.load(), 1);
  for (const Result<Bytes>* r : seen) {
    ASSERT_EQ(r, seen[0]);
    ASSERT_TRUE(r->ok());
    EXPECT_EQ(**r, builtin());
  }
  EXPECT_EQ(&cell.get(), seen[0]);
  EXPECT_EQ(builds.load(), 1);
}

TEST(DefaultDefinitions, AFailedBuildIsRepeatedToEveryCaller) {
  TempDir dir;
  const std::string broken = dir.write("broken.eqp", EqpText().set("Sizes", "Full", "3em").str());
  std::atomic<int> builds{0};
  OnceBuiltDefs cell([&] {
    ++builds;
    return build_fixed_defs_from_default_path(broken);
  });
  const std::string expected = "failed to parse " + broken + ": unsupported dimension `3em`";
  std::vector<std::thread> threads;
  std::atomic<int> matching{0};
  for (int i = 0; i < 8; ++i)
    threads.emplace_back([&] {
      const Result<Bytes>& r = cell.get();
      if (!r.ok() && r.error().message == expected) ++matching;
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(matching.load(), 8);
  // Repairing the file later changes nothing: the outcome is kept.
  dir.write("broken.eqp", EqpText().str());
  ASSERT_FALSE(cell.get().ok());
  EXPECT_EQ(cell.get().error().message, expected);
  EXPECT_EQ(builds.load(), 1);
}

TEST(DefaultDefinitions, ProcessWideBlock) {
  std::error_code ec;
  if (std::filesystem::exists(default_prefs_path(), ec))
    GTEST_SKIP() << "a preferences file is installed at " << default_prefs_path();
  std::vector<const Result<Bytes>*> seen(8, nullptr);
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i)
    threads.emplace_back([&, i] { seen[static_cast<std::size_t>(i)] = &default_fixed_defs(); });
  for (auto& t : threads) t.join();
  for (const Result<Bytes>* r : seen) EXPECT_EQ(r, seen[0]);
  ASSERT_TRUE(seen[0]->ok());
  EXPECT_EQ(**seen[0], builtin());

  Bytes stream = {0xAA};
  ASSERT_TRUE(append_fixed_defs(std::nullopt, stream).ok());
  EXPECT_EQ(Bytes(stream.begin() + 1, stream.end()), builtin());
}

}  // namespace
}  // namespace quorvix::qvf
