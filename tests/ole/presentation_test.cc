#include "ole/presentation.h"

#include <gtest/gtest.h>

#include <string>

#include "ole/compound_file.h"
#include "ole/test_support.h"

namespace quorvix::ole {
namespace {

using testing::make_metafile;
using testing::MetafileSpec;
using testing::u32_at;

Bytes truncated(Bytes b, std::size_t n) {
  b.resize(n);
  return b;
}

// Every rejection, each from a metafile that is wrong in exactly one way, and
// through the public entry so that no file is produced.
TEST(PresentationTest, RejectedMetafiles) {
  const Bytes good = make_metafile({});
  struct Case {
    const char* what;
    Bytes metafile;
    std::string message;
  };
  auto spec = [](auto edit) {
    MetafileSpec m;
    edit(m);
    return make_metafile(m);
  };
  const Case cases[] = {
      {"empty", {}, "placeable WMF is shorter than its 22-byte header"},
      {"header only", truncated(good, 22), "placeable WMF is shorter than its 22-byte header"},
      {"plain metafile", spec([](MetafileSpec& m) { m.key = 0x00090001; }),
       "WMF presentation is missing the Aldus placeable header"},
      {"key byte-swapped", spec([](MetafileSpec& m) { m.key = 0xD7CDC69A; }),
       "WMF presentation is missing the Aldus placeable header"},
      {"empty height", spec([](MetafileSpec& m) { m.top = m.bottom = 100; }),
       "WMF presentation has invalid placeable bounds"},
      {"reversed height", spec([](MetafileSpec& m) { m.top = 500, m.bottom = -500; }),
       "WMF presentation has invalid placeable bounds"},
      {"empty width", spec([](MetafileSpec& m) { m.left = m.right = -7; }),
       "WMF presentation has invalid placeable bounds"},
      {"reversed width", spec([](MetafileSpec& m) { m.left = 10, m.right = 9; }),
       "WMF presentation has invalid placeable bounds"},
      {"zero units", spec([](MetafileSpec& m) { m.units = 0; }),
       "WMF presentation has invalid placeable bounds"},
      {"23 bytes", truncated(good, 23), "WMF presentation is shorter than its standard header"},
      {"39 bytes", truncated(good, 39), "WMF presentation is shorter than its standard header"},
      {"header of 8 words", spec([](MetafileSpec& m) { m.header_words = 8; }),
       "WMF presentation has an invalid standard header size"},
      {"header of 18 words", spec([](MetafileSpec& m) { m.header_words = 18; }),
       "WMF presentation has an invalid standard header size"},
      {"declares more", spec([](MetafileSpec& m) { m.declared_words = 13; }),
       "WMF presentation declares 26 bytes but contains 24"},
      {"declares less", spec([](MetafileSpec& m) { m.declared_words = 9; }),
       "WMF presentation declares 18 bytes but contains 24"},
      {"declared size overflows 32 bits when doubled",
       spec([](MetafileSpec& m) { m.declared_words = 0x80000000u; }),
       "WMF presentation declares 4294967296 bytes but contains 24"},
      {"odd trailing byte",
       [&] {
         Bytes b = good;
         b.push_back(0);
         return b;
       }(),
       "WMF presentation declares 24 bytes but contains 25"},
  };
  const Bytes native(300, 0x11);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto record = build_presentation_record(c.metafile);
    ASSERT_FALSE(record.ok());
    EXPECT_EQ(record.error().message, c.message);
    auto file = write_compound_file(native, c.metafile);
    ASSERT_FALSE(file.ok());
    EXPECT_EQ(file.error().message, c.message);
  }
}

// The data-size field is 32 bits; checked on the size alone.
TEST(PresentationTest, DataSizeLimit) {
  EXPECT_TRUE(check_presentation_data_size(0xFFFFFFFFull).ok());
  const Status too_large = check_presentation_data_size(0x100000000ull);
  ASSERT_FALSE(too_large.ok());
  EXPECT_EQ(too_large.error().message, "WMF presentation is too large for an OLE stream");
}

TEST(PresentationTest, RecordLayout) {
  MetafileSpec m;
  m.left = -100;
  m.top = 50;
  m.right = 1340;  // 1440 units: one inch
  m.bottom = 770;  // 720 units: half an inch
  m.units = 1440;
  m.record_words = 7;
  const Bytes metafile = make_metafile(m);
  ASSERT_EQ(metafile.size(), 22u + 18u + 14u);
  auto record = build_presentation_record(metafile);
  ASSERT_TRUE(record.ok()) << record.error().message;
  const Bytes& r = *record;
  const std::size_t data = metafile.size() - 22;
  ASSERT_EQ(r.size(), 40 + data + 18 + 8);
  const std::uint32_t head[] = {0xFFFFFFFF, 3, 4,    1,    0xFFFFFFFF,
                                2,          0, 2540, 1270, static_cast<std::uint32_t>(data)};
  for (std::size_t i = 0; i < std::size(head); ++i) EXPECT_EQ(u32_at(r, 4 * i), head[i]) << "field " << i;
  const auto at = [&r](std::size_t offset) { return r.begin() + static_cast<std::ptrdiff_t>(offset); };
  EXPECT_EQ(Bytes(at(40), at(40 + data)), Bytes(metafile.begin() + 22, metafile.end()));
  EXPECT_EQ(Bytes(at(40 + data), at(58 + data)), Bytes(18, 0));
  EXPECT_EQ(u32_at(r, 58 + data), 0x494E414Eu);
  EXPECT_EQ(u32_at(r, 62 + data), 0u);
}

// Extents round to the nearest hundredth of a millimetre, halves up, and
// use the full signed 16-bit range of the bounds.
TEST(PresentationTest, ExtentRounding) {
  struct Case {
    std::int16_t left, right;
    std::uint16_t units;
    std::uint32_t width;
  };
  const Case cases[] = {
      {0, 1, 1, 2540},                // one inch
      {0, 1, 3, 847},                 // 846.67
      {0, 1, 5080, 1},                // exactly one half: rounds up
      {0, 1, 5081, 0},                // just under one half
      {-32768, 32767, 1, 166458900},  // widest span
      {0, 7, 65535, 0},               // 0.27
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.left) + ".." + std::to_string(c.right) + " / " + std::to_string(c.units));
    MetafileSpec m;
    m.left = c.left;
    m.right = c.right;
    m.units = c.units;
    auto record = build_presentation_record(make_metafile(m));
    ASSERT_TRUE(record.ok()) << record.error().message;
    EXPECT_EQ(u32_at(*record, 28), c.width);
  }
}

}  // namespace
}  // namespace quorvix::ole
