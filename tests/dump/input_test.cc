// Finding the stream in what `quorvix dump` is given, and the command as a
// whole on files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cfb_bytes.h"
#include "ole/compound_file.h"
#include "quorvix/cfb_reader.h"
#include "quorvix/dump_input.h"
#include "quorvix/dump_run.h"
#include "qvf_bytes.h"
#include "support/temp_dir.h"

namespace quorvix::tools {
namespace {

using testing::build_compound_file;
using testing::CfbStream;
using testing::StreamBytes;

std::span<const std::uint8_t> as_bytes(std::string_view s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

std::string to_hex(const Bytes& b) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (std::uint8_t x : b) {
    out += digits[x >> 4];
    out += digits[x & 15];
  }
  return out;
}

// A small complete stream: header, FULL, LINE holding x, END, END.
Bytes small_stream() {
  StreamBytes s;
  s.header().raw({0x0A, 0x01, 0x00}).chr(131, 'x').raw({0x00, 0x00});
  return s.bytes();
}

// The 28-byte framing the writer puts in front of a stream.
Bytes framed(const Bytes& stream, std::uint32_t declared) {
  Bytes out = {0x1C, 0x00, 0x00, 0x00, 0x02, 0x00, 0x3F, 0xC4};
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(declared >> (8 * i)));
  out.insert(out.end(), {0x00, 0x00, 0x00, 0x00, 0x7C, 0xA2, 0x44, 0x17, 0x5D, 0xAB, 0x97, 0x00, 0x0C, 0x00,
                         0xD8, 0x08});
  out.insert(out.end(), stream.begin(), stream.end());
  return out;
}
Bytes framed(const Bytes& stream) { return framed(stream, static_cast<std::uint32_t>(stream.size())); }

Bytes equation_file(const Bytes& native) {
  return build_compound_file(
      {{"\x01Ole", Bytes(20, 0)}, {"Equation Native", native}, {"\x01CompObj", Bytes(90, 7)}});
}

TEST(DumpInput, HexText) {
  EXPECT_TRUE(looks_like_hex(as_bytes("05 01\n00 ff\tAB")));
  EXPECT_FALSE(looks_like_hex(as_bytes("0x05")));
  EXPECT_FALSE(looks_like_hex(as_bytes("050")));
  EXPECT_FALSE(looks_like_hex(as_bytes("  ")));
  auto ok = decode_hex_text(as_bytes(" 05 01\r\n0aFF "));
  ASSERT_TRUE(ok.ok());
  EXPECT_EQ(*ok, (Bytes{0x05, 0x01, 0x0A, 0xFF}));
  EXPECT_EQ(decode_hex_text(as_bytes("05 0g")).error().message,
            "hex text: character \"g\" at position 4 is not a hex digit");
  EXPECT_EQ(decode_hex_text(as_bytes("050")).error().message, "hex text: odd number of hex digits");
}

TEST(DumpInput, EveryFormFindsTheSameStream) {
  const Bytes stream = small_stream();
  const std::string response =
      R"({"result":{"ole":"00","qvf":")" + to_hex(stream) + R"(","normalized_latex":"x"}})";
  struct Case {
    const char* name;
    Bytes input;
    bool force_hex;
    const char* origin;
  };
  const Bytes hex_framed = [&] {
    const std::string h = to_hex(framed(stream));
    return Bytes(h.begin(), h.end());
  }();
  const Case cases[] = {
      {"raw", stream, false, "raw stream"},
      {"framed", framed(stream), false, "Equation Native stream, framed"},
      {"hex of framed", hex_framed, false, "hex text, Equation Native stream, framed"},
      {"forced hex", hex_framed, true, "hex text, Equation Native stream, framed"},
      {"response", Bytes(response.begin(), response.end()), false, "conversion response, \"qvf\""},
      {"compound file", equation_file(framed(stream)), false,
       "compound file, stream \"Equation Native\", framed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto loaded = load_stream(c.input, c.force_hex);
    ASSERT_TRUE(loaded.ok()) << loaded.error().message;
    EXPECT_EQ(loaded->qvf, stream);
    EXPECT_EQ(loaded->origin, c.origin);
  }
}

TEST(DumpInput, ErrorsOfTheContainers) {
  const std::string error_response = R"({"error":"expression is nested too deeply"})";
  EXPECT_EQ(load_stream(as_bytes(error_response), false).error().message,
            "the conversion response carries an error: expression is nested too deeply");
  EXPECT_EQ(load_stream(as_bytes("{\"result\":"), false).error().message,
            "the input starts with '{' but is not a JSON object");
  EXPECT_EQ(load_stream(as_bytes("05 01 zz"), true).error().message,
            "hex text: character \"z\" at position 6 is not a hex digit");
  const Bytes no_native = build_compound_file({{"\x01Ole", Bytes(20, 0)}});
  EXPECT_EQ(load_stream(no_native, false).error().message,
            "compound file: no \"Equation Native\" stream in the directory");
}

TEST(DumpInput, FramingThatDisagreesWithTheStreamIsReported) {
  const Bytes stream = small_stream();
  auto longer = load_stream(framed(stream, 100), false);
  ASSERT_TRUE(longer.ok());
  EXPECT_EQ(longer->qvf, stream);
  ASSERT_FALSE(longer->notes.empty());
  EXPECT_TRUE(longer->notes.back().warning);
  EXPECT_EQ(longer->notes.back().text,
            "the framing declares 100 stream bytes but only 22 follow; decoding those");

  Bytes padded = framed(stream, 15);
  padded[16] = 0x7D;  // the constant at offset 16 (0x1744A27C) no longer matches
  auto shorter = load_stream(padded, false);
  ASSERT_TRUE(shorter.ok());
  EXPECT_EQ(shorter->qvf, Bytes(stream.begin(), stream.begin() + 15));
  std::string warnings;
  for (const InputNote& n : shorter->notes) {
    if (n.warning) warnings += n.text + "\n";
  }
  EXPECT_EQ(warnings,
            "framing constant at 16 is 0x1744A27D, expected 0x1744A27C\n"
            "7 bytes follow the 15 stream bytes the framing declares; they are not decoded\n");
}

TEST(CompoundFileReader, ReadsMiniAndRegularStreams) {
  Bytes large(5000);
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<std::uint8_t>(i * 7);
  Bytes small(130);
  for (std::size_t i = 0; i < small.size(); ++i) small[i] = static_cast<std::uint8_t>(255 - i);
  const Bytes file =
      build_compound_file({{"first", small}, {"Equation Native", large}, {"third", Bytes(64, 1)}});
  auto reader = CompoundFileReader::open(file);
  ASSERT_TRUE(reader.ok()) << reader.error().message;
  ASSERT_EQ(reader->entries().size(), 4u);
  EXPECT_EQ(reader->entries()[0].name, "Root Entry");
  const CfbEntry* a = reader->find_stream("first");
  const CfbEntry* b = reader->find_stream("Equation Native");
  const CfbEntry* c = reader->find_stream("third");
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(*reader->read_stream(*a), small);
  EXPECT_EQ(*reader->read_stream(*b), large);
  EXPECT_EQ(*reader->read_stream(*c), Bytes(64, 1));
  EXPECT_EQ(reader->find_stream("Root Entry"), nullptr);
}

// The library's own writer puts a 4095-byte stream in the mini stream and a
// 4096-byte one in regular sectors; the reader must follow both.
TEST(CompoundFileReader, ReadsTheLibrarysCompoundFilesOnBothSidesOfTheCutoff) {
  for (std::size_t size : {4095u, 4096u}) {
    Bytes native(size);
    for (std::size_t i = 0; i < size; ++i) native[i] = static_cast<std::uint8_t>(i % 251);
    auto file = ole::write_compound_file(native, std::nullopt);
    ASSERT_TRUE(file.ok()) << file.error().message;
    auto reader = CompoundFileReader::open(*file);
    ASSERT_TRUE(reader.ok()) << reader.error().message;
    const CfbEntry* entry = reader->find_stream("Equation Native");
    ASSERT_NE(entry, nullptr);
    auto data = reader->read_stream(*entry);
    ASSERT_TRUE(data.ok()) << data.error().message;
    EXPECT_EQ(*data, native) << size;
  }
}

TEST(CompoundFileReader, DamagedFilesGiveErrors) {
  const Bytes good = build_compound_file({{"Equation Native", Bytes(5000, 3)}});
  // Sectors: 0 FAT, 1 directory, 2.. the stream (no mini stream).
  struct Case {
    const char* name;
    Bytes file;
    std::string message;
  };
  std::vector<Case> cases;
  {
    Bytes f = good;
    store_u32le(f, testing::kCfbFatOffset + 4 * 3, 2);  // sector 3 points back to 2
    cases.push_back({"loop", f, "compound file: the chain of stream \"Equation Native\" runs in a loop"});
  }
  {
    Bytes f = good;
    store_u32le(f, testing::kCfbFatOffset + 4 * 3, 90);
    cases.push_back(
        {"beyond the file", f,
         "compound file: the chain of stream \"Equation Native\" reaches sector 90, which is not a "
         "sector of the file"});
  }
  {
    Bytes f = good;
    store_u16le(f, 30, 7);
    cases.push_back({"sector shift", f, "compound file: sector shift 7 at offset 0x1E is neither 9 nor 12"});
  }
  cases.push_back({"truncated", Bytes(good.begin(), good.begin() + 300),
                   "compound file: the file has 300 bytes, fewer than its 512-byte header"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto loaded = load_stream(c.file, false);
    ASSERT_FALSE(loaded.ok());
    EXPECT_EQ(loaded.error().message, c.message);
  }
}

class DumpCommand : public ::testing::Test {
 protected:
  std::string write_file(const std::string& name, const Bytes& data) {
    return dir_.write(name, {reinterpret_cast<const char*>(data.data()), data.size()});
  }
  int run(DumpOptions options) {
    out_.str("");
    err_.str("");
    return run_dump(options, out_, err_);
  }
  std::ostringstream out_, err_;
  test_support::TempDir dir_;
};

TEST_F(DumpCommand, ListsAFileAndReportsTheOutcome) {
  const std::string ole = write_file("eq.ole", equation_file(framed(small_stream())));
  EXPECT_EQ(run({{ole}}), 0);
  const std::string text = out_.str();
  EXPECT_NE(text.find("# input: " + ole + " (compound file, stream \"Equation Native\", framed)\n"),
            std::string::npos);
  EXPECT_NE(text.find("#   entry 2 \"Equation Native\": stream, 50 bytes\n"), std::string::npos);
  EXPECT_NE(text.find("000F    CHAR U+0078 'x' typeface 131 (Variable)\n"), std::string::npos);
  EXPECT_NE(text.find("# stream decoded completely\n"), std::string::npos);

  Bytes broken = small_stream();
  broken.pop_back();
  const std::string cut = write_file("cut.qvf", broken);
  EXPECT_EQ(run({{cut}}), 1);
  EXPECT_NE(out_.str().find("# decoding stopped at 0x0015: the stream ends without the END that closes it\n"),
            std::string::npos);

  EXPECT_EQ(run({{"/nonexistent/eq.ole"}}), 2);
  EXPECT_EQ(err_.str(),
            "quorvix dump: cannot read /nonexistent/eq.ole: no such file, and the argument is not a hex "
            "string\n");
}

TEST_F(DumpCommand, DiffExitStatusFollowsTheListings) {
  StreamBytes other;
  other.header().raw({0x0A, 0x01, 0x00}).chr(131, 'y').raw({0x00, 0x00});
  const std::string a = write_file("a.qvf", small_stream());
  const std::string b = write_file("b.qvf", other.bytes());
  DumpOptions same;
  same.diff = true;
  same.inputs = {a, to_hex(framed(small_stream()))};
  EXPECT_EQ(run(same), 0);
  EXPECT_NE(out_.str().find("the listings are the same (offsets not compared)\n"), std::string::npos);
  DumpOptions differ = same;
  differ.inputs = {a, b};
  EXPECT_EQ(run(differ), 1);
  EXPECT_NE(out_.str().find("- 000F         CHAR U+0078 'x' typeface 131 (Variable)\n"
                            "+      000F    CHAR U+0079 'y' typeface 131 (Variable)\n"),
            std::string::npos)
      << out_.str();
  differ.inputs = {a};
  EXPECT_EQ(run(differ), 2);
}

}  // namespace
}  // namespace quorvix::tools
