#include "common/bytes.h"

#include <gtest/gtest.h>

namespace quorvix {
namespace {

TEST(BytesTest, LittleEndianRoundTrips) {
  Bytes appended;
  append_u16le(appended, 0xA1B2);
  append_u32le(appended, 0xC3D4E5F6);
  EXPECT_EQ(appended, (Bytes{0xB2, 0xA1, 0xF6, 0xE5, 0xD4, 0xC3}));
  EXPECT_EQ(load_u16le(appended, 0), 0xA1B2);
  EXPECT_EQ(load_u32le(appended, 2), 0xC3D4E5F6u);
  EXPECT_EQ(load_u16le(appended, 1), 0xF6A1);  // at any offset

  Bytes stored(16, 0xEE);
  store_u16le(stored, 1, 0x0102);
  store_u32le(stored, 3, 0x03040506);
  store_u64le(stored, 7, 0x0708090A0B0C0D0Eull);
  EXPECT_EQ(stored, (Bytes{0xEE, 0x02, 0x01, 0x06, 0x05, 0x04, 0x03, 0x0E, 0x0D, 0x0C, 0x0B, 0x0A, 0x09, 0x08,
                           0x07, 0xEE}));
  EXPECT_EQ(load_u64le(stored, 7), 0x0708090A0B0C0D0Eull);
  // The top bit of every byte survives.
  store_u64le(stored, 0, 0xFFFFFFFFFFFFFFFFull);
  EXPECT_EQ(load_u64le(stored, 0), 0xFFFFFFFFFFFFFFFFull);
  EXPECT_EQ(load_u32le(stored, 4), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace quorvix
