#include "ole/compound_file.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <string_view>
#include <thread>

#include "common/spare_buffer.h"
#include "ole/test_support.h"
#include "qvf/stream/stream.h"

namespace quorvix::ole {
namespace {

using testing::comp_obj_stream;
using testing::kClassId;
using testing::make_metafile;
using testing::MetafileSpec;
using testing::ole_stream;
using testing::u16_at;
using testing::u32_at;

constexpr std::uint32_t kNone = 0xFFFFFFFF;
constexpr std::uint32_t kEnd = 0xFFFFFFFE;

// The expected file, set field by field at absolute offsets.
class Image {
 public:
  explicit Image(std::size_t size) : b_(size, 0) {}
  void u16(std::size_t at, std::uint16_t v) {
    b_.at(at) = static_cast<std::uint8_t>(v);
    b_.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
  }
  void u32(std::size_t at, std::uint32_t v) {
    u16(at, static_cast<std::uint16_t>(v));
    u16(at + 2, static_cast<std::uint16_t>(v >> 16));
  }
  void fill(std::size_t at, std::size_t n, std::uint8_t v) {
    std::fill_n(b_.begin() + static_cast<std::ptrdiff_t>(at), n, v);
  }
  void bytes(std::size_t at, const Bytes& v) {
    std::copy(v.begin(), v.end(), b_.begin() + static_cast<std::ptrdiff_t>(at));
  }
  void entry(std::size_t at, std::u16string_view name, std::uint8_t type, std::uint8_t colour,
             std::uint32_t left, std::uint32_t right, std::uint32_t child, std::uint32_t start,
             std::uint32_t size) {
    for (std::size_t i = 0; i < name.size(); ++i) u16(at + 2 * i, name[i]);
    u16(at + 64, static_cast<std::uint16_t>(2 * name.size() + 2));
    b_.at(at + 66) = type;
    b_.at(at + 67) = colour;
    u32(at + 68, left);
    u32(at + 72, right);
    u32(at + 76, child);
    u32(at + 116, start);
    u32(at + 120, size);  // the upper half of the 64-bit size stays zero
  }
  const Bytes& get() const { return b_; }

 private:
  Bytes b_;
};

// Names the first differing byte instead of printing two whole files.
::testing::AssertionResult same_bytes(const Bytes& actual, const Bytes& expected) {
  if (actual.size() != expected.size())
    return ::testing::AssertionFailure() << "size " << actual.size() << ", expected " << expected.size();
  for (std::size_t i = 0; i < actual.size(); ++i) {
    if (actual[i] != expected[i]) {
      return ::testing::AssertionFailure()
             << "first difference at offset " << i << " (sector " << static_cast<long>(i / 512) - 1
             << ", byte " << i % 512 << "): " << int{actual[i]} << ", expected " << int{expected[i]};
    }
  }
  return ::testing::AssertionSuccess();
}

Bytes sector_bytes(const Bytes& file, std::uint32_t sector, std::size_t n = 512) {
  const std::size_t at = 512 * (std::size_t{sector} + 1);
  return Bytes(file.begin() + static_cast<std::ptrdiff_t>(at),
               file.begin() + static_cast<std::ptrdiff_t>(at + n));
}

// The empty expression: three mini streams in one container sector, so the
// file is the header and five sectors.
TEST(CompoundFileTest, EmptyExpressionByteForByte) {
  auto native = qvf::write_equation_native(testing::empty_expression_qvf());
  ASSERT_TRUE(native.ok()) << native.error().message;
  ASSERT_EQ(native->size(), 268u);
  auto file = write_compound_file(*native, std::nullopt);
  ASSERT_TRUE(file.ok()) << file.error().message;

  Image f(512 + 5 * 512);
  // Header.
  f.bytes(0, {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1});
  f.u16(24, 0x003E);
  f.u16(26, 3);
  f.u16(28, 0xFFFE);
  f.u16(30, 9);
  f.u16(32, 6);
  f.u32(44, 1);
  f.u32(48, 1);
  f.u32(56, 4096);
  f.u32(60, 2);
  f.u32(64, 1);
  f.u32(68, kEnd);
  f.fill(80, 432, 0xFF);
  // Sector 0, the FAT: itself, directory 1 -> 4, mini FAT 2, container 3.
  f.fill(512, 512, 0xFF);
  f.u32(512, 0xFFFFFFFD);
  f.u32(516, 4);
  f.u32(520, kEnd);
  f.u32(524, kEnd);
  f.u32(528, kEnd);
  // Sector 1, the directory.
  f.entry(1024, u"Root Entry", 5, 0, kNone, kNone, 3, 3, 512);
  f.bytes(1024 + 80, kClassId);
  f.entry(1152, u"\x01Ole", 2, 1, kNone, kNone, kNone, 0, 20);
  f.entry(1280, u"Equation Native", 2, 1, kNone, kNone, kNone, 1, 268);
  f.entry(1408,
          u"\x01"
          u"CompObj",
          2, 1, 1, 2, kNone, 6, 103);
  // Sector 2, the mini FAT: "\x01Ole" 0, "Equation Native" 1-5, "\x01CompObj" 6-7.
  f.fill(1536, 512, 0xFF);
  const std::uint32_t mini_fat[] = {kEnd, 2, 3, 4, 5, kEnd, 7, kEnd};
  for (std::size_t i = 0; i < std::size(mini_fat); ++i) f.u32(1536 + 4 * i, mini_fat[i]);
  // Sector 3, the mini stream container.
  f.bytes(2048, ole_stream());
  f.bytes(2048 + 64, *native);
  f.bytes(2048 + 6 * 64, comp_obj_stream());
  // Sector 4, the second directory sector, stays zero.

  EXPECT_TRUE(same_bytes(*file, f.get()));
}

// Streams below 4096 bytes go to the mini stream; 4096 and more to regular
// sectors after the second directory sector.
TEST(CompoundFileTest, MiniStreamCutoff) {
  struct Case {
    std::size_t native_size;
    std::uint32_t native_start;       // mini sector or regular sector
    std::uint32_t container_sectors;  // k
    std::uint32_t second_directory;
    std::size_t native_offset;  // where its bytes sit in the file
    std::size_t file_size;
  };
  const Case cases[] = {
      // 1 + 64 + 2 mini sectors: container sectors 3..11.
      {4095, 1, 9, 12, 512 * 4 + 64, 512 * 14},
      // 1 + 2 mini sectors; the stream takes sectors 5..12.
      {4096, 5, 1, 4, 512 * 6, 512 * 14},
      {4097, 5, 1, 4, 512 * 6, 512 * 15},
      {64, 1, 1, 4, 512 * 4 + 64, 512 * 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.native_size);
    Bytes native(c.native_size);
    for (std::size_t i = 0; i < native.size(); ++i) native[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    auto file = write_compound_file(native, std::nullopt);
    ASSERT_TRUE(file.ok()) << file.error().message;
    const Bytes& f = *file;
    ASSERT_EQ(f.size(), c.file_size);
    // Given as a framing header and a body, the stream is stored the same.
    const std::span<const std::uint8_t> whole(native);
    const auto split = write_compound_file(whole.first(28), whole.subspan(28), std::nullopt);
    ASSERT_TRUE(split.ok()) << split.error().message;
    EXPECT_TRUE(*split == f);
    EXPECT_EQ(u32_at(f, 60), 2u);
    EXPECT_EQ(u32_at(f, 64), 1u);
    // Root entry: container start and its length in whole sectors.
    EXPECT_EQ(u32_at(f, 1024 + 116), 3u);
    EXPECT_EQ(u32_at(f, 1024 + 120), 512 * c.container_sectors);
    // "Equation Native" entry.
    EXPECT_EQ(u32_at(f, 1280 + 116), c.native_start);
    EXPECT_EQ(u32_at(f, 1280 + 120), c.native_size);
    EXPECT_EQ(Bytes(f.begin() + static_cast<std::ptrdiff_t>(c.native_offset),
                    f.begin() + static_cast<std::ptrdiff_t>(c.native_offset + c.native_size)),
              native);
    // FAT: the directory chain, then free entries after the last used sector.
    const Bytes fat = sector_bytes(f, 0);
    EXPECT_EQ(u32_at(fat, 4), c.second_directory);
    EXPECT_EQ(u32_at(fat, 4 * c.second_directory), kEnd);
    const std::uint32_t used = static_cast<std::uint32_t>(f.size() / 512 - 1);
    EXPECT_EQ(u32_at(fat, 4 * (used - 1)), kEnd);
    for (std::uint32_t s = used; s < 128; ++s) ASSERT_EQ(u32_at(fat, 4 * s), kNone) << "FAT entry " << s;
    // Only the padding of the last stream sector follows the data.
    EXPECT_EQ(f.back(), c.native_size % 512 == 0 && c.native_size >= 4096 ? native.back() : 0);
  }
}

// A regular-sector stream is chained sector by sector in the FAT, and the
// mini stream only ever holds the small companions.
TEST(CompoundFileTest, LargeStreamChainAndMiniFat) {
  const Bytes native(4096 + 512 * 2 + 1, 0x33);  // 11 sectors: 5 to 15
  auto file = write_compound_file(native, std::nullopt);
  ASSERT_TRUE(file.ok()) << file.error().message;
  const Bytes fat = sector_bytes(*file, 0);
  const std::uint32_t expected_fat[] = {0xFFFFFFFD, 4,  kEnd, kEnd, kEnd, 6,  7,    8,    9,
                                        10,         11, 12,   13,   14,   15, kEnd, kNone};
  for (std::size_t i = 0; i < std::size(expected_fat); ++i)
    EXPECT_EQ(u32_at(fat, 4 * i), expected_fat[i]) << i;
  const Bytes mini_fat = sector_bytes(*file, 2);
  const std::uint32_t expected_mini[] = {kEnd, 2, kEnd, kNone};
  for (std::size_t i = 0; i < std::size(expected_mini); ++i)
    EXPECT_EQ(u32_at(mini_fat, 4 * i), expected_mini[i]) << i;
  EXPECT_EQ(u32_at(*file, 1408 + 116), 1u);  // "\x01CompObj" follows "\x01Ole" in the mini stream
}

// With a picture: entry 4 in the second directory sector, "Equation Native"
// red below it, and the picture after the native stream when both are large.
TEST(CompoundFileTest, PresentationEntryAndPlacement) {
  MetafileSpec m;
  m.record_words = 2006;  // a 4096-byte presentation record
  const Bytes metafile = make_metafile(m);
  const Bytes native(5000, 0x44);  // sectors 5..14
  auto file = write_compound_file(native, metafile);
  ASSERT_TRUE(file.ok()) << file.error().message;
  const Bytes& f = *file;
  ASSERT_EQ(f.size(), 512u * (1 + 5 + 10 + 8));
  // "Equation Native": red, no links.
  EXPECT_EQ(f[1280 + 67], 0);
  EXPECT_EQ(u32_at(f, 1280 + 116), 5u);
  // "\x01CompObj": left "\x01Ole", right the picture.
  EXPECT_EQ(u32_at(f, 1408 + 68), 1u);
  EXPECT_EQ(u32_at(f, 1408 + 72), 4u);
  // Entry 4, the first entry of sector 4.
  const std::size_t e = 512 * 5;
  EXPECT_EQ(u16_at(f, e), 2u);
  EXPECT_EQ(u16_at(f, e + 2), u'O');
  EXPECT_EQ(u16_at(f, e + 64), 24u);
  EXPECT_EQ(f[e + 66], 2);
  EXPECT_EQ(f[e + 67], 1);
  EXPECT_EQ(u32_at(f, e + 68), kNone);
  EXPECT_EQ(u32_at(f, e + 72), 2u);
  EXPECT_EQ(u32_at(f, e + 76), kNone);
  EXPECT_EQ(u32_at(f, e + 116), 15u);
  EXPECT_EQ(u32_at(f, e + 120), 4096u);
  EXPECT_EQ(Bytes(f.begin() + e + 128, f.begin() + e + 512), Bytes(384, 0));
  EXPECT_EQ(u32_at(f, 512 * 16), 0xFFFFFFFFu);  // the record's clipboard marker opens sector 15
  EXPECT_EQ(u32_at(f, 512 * 16 + 40 + 4030 - 2), 0x5A5A + 2005u);  // last metafile word
}

// The single FAT sector addresses 128 sectors: a layout that needs exactly 128
// fills it, one more sector fails.
TEST(CompoundFileTest, SectorLimit) {
  struct Case {
    const char* what;
    std::size_t native_size;
    std::size_t picture_record_words;  // 0: no picture
    bool ok;
  };
  // Header, FAT, two directory sectors, one mini FAT and one container sector
  // leave 123 sectors for large streams.
  const Case cases[] = {
      {"native fills 123 sectors", 123 * 512, 0, true},
      {"native needs a 124th sector", 123 * 512 + 1, 0, false},
      // Presentation record: 66 bytes around the metafile data of 18 + 2 * words bytes.
      {"picture fills 123 sectors", 268, (123 * 512 - 66 - 18) / 2, true},
      {"picture needs a 124th sector", 268, (123 * 512 - 66 - 18) / 2 + 1, false},
      {"both large, 128 in all", 61 * 512, (62 * 512 - 66 - 18) / 2, true},
      {"both large, 129 in all", 61 * 512 + 1, (62 * 512 - 66 - 18) / 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes native(c.native_size, 0x5C);
    std::optional<Bytes> picture;
    if (c.picture_record_words != 0) {
      MetafileSpec m;
      m.record_words = c.picture_record_words;
      picture = make_metafile(m);
    }
    auto file = write_compound_file(native, picture);
    ASSERT_EQ(file.ok(), c.ok);
    if (!c.ok) {
      EXPECT_EQ(file.error().message, "minimal CFB writer currently supports at most 128 sectors");
      continue;
    }
    ASSERT_EQ(file->size(), 512u * 129);
    const Bytes fat = sector_bytes(*file, 0);
    for (std::uint32_t s = 0; s < 128; ++s) ASSERT_NE(u32_at(fat, 4 * s), kNone) << "FAT entry " << s;
    EXPECT_EQ(u32_at(fat, 4 * 127), kEnd);
  }
}

// An empty stream takes no sector at all and starts at the end-of-chain mark.
TEST(CompoundFileTest, EmptyStreamTakesNoSectors) {
  const Bytes native;  // empty: no sectors at all
  auto file = write_compound_file(native, std::nullopt);
  ASSERT_TRUE(file.ok()) << file.error().message;
  EXPECT_EQ(u32_at(*file, 1280 + 116), kEnd);
  EXPECT_EQ(u32_at(*file, 1280 + 120), 0u);
  // The two companions still use the mini stream.
  EXPECT_EQ(u32_at(*file, 60), 2u);
  EXPECT_EQ(u32_at(*file, 1408 + 116), 1u);
}

// A thread keeps its last compound file's memory for the next one, which is
// written over it. Whatever the earlier file held, the later one must come out
// as it does on a thread that never wrote a file.
TEST(CompoundFileTest, AFileWrittenOverAnEarlierOneMatchesAFreshOne) {
  struct Shape {
    const char* what;
    std::size_t native_size;
    std::size_t picture_record_words;  // 0: no picture
  };
  const Shape earlier[] = {
      {"a large native stream and picture", 20000, 3000},
      {"a native stream just under the cutoff", 4095, 0},
      {"a small native stream and a small picture", 700, 200},
  };
  const Shape later[] = {
      {"empty", 0, 0},
      {"one byte", 1, 0},
      {"one mini sector", 64, 0},
      {"two mini sectors", 65, 0},
      {"small", 1000, 0},
      {"under the cutoff", 4095, 0},
      {"at the cutoff", 4096, 0},
      {"large", 5000, 0},
      {"small with a picture", 300, 100},
      {"large with a large picture", 9000, 2500},
  };
  auto write = [](const Shape& shape, std::uint8_t fill) {
    const Bytes native(shape.native_size, fill);
    std::optional<Bytes> picture;
    if (shape.picture_record_words != 0) {
      MetafileSpec m;
      m.record_words = shape.picture_record_words;
      picture = make_metafile(m);
    }
    Result<Bytes> file = write_compound_file(native, picture);
    EXPECT_TRUE(file.ok()) << shape.what;
    return file.ok() ? std::move(file.value()) : Bytes();
  };
  for (const Shape& after : later) {
    Bytes fresh;
    std::thread([&] { fresh = write(after, 0x21); }).join();
    for (const Shape& before : earlier) {
      SCOPED_TRACE(std::string(before.what) + ", then " + after.what);
      Bytes old = write(before, 0xAB);
      SpareCompoundFile::give_back(old);
      const Bytes reused = write(after, 0x21);
      ASSERT_EQ(reused.size(), fresh.size());
      EXPECT_TRUE(reused == fresh);
    }
  }
}

}  // namespace
}  // namespace quorvix::ole
