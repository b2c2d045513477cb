#include "qvf/stream/equation_native.h"

#include <gtest/gtest.h>

#include "ole/test_support.h"
#include "qvf/stream/stream.h"

namespace quorvix::qvf {
namespace {

TEST(EquationNativeTest, HeaderOfAHundredByteStream) {
  const Bytes stream(100, 0xAB);
  auto framed = write_equation_native(stream);
  ASSERT_TRUE(framed.ok()) << framed.error().message;
  const Bytes expected_header = {0x1C, 0x00, 0x00, 0x00, 0x02, 0x00, 0x3F, 0xC4, 0x64, 0x00,
                                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x7C, 0xA2, 0x44, 0x17,
                                 0x5D, 0xAB, 0x97, 0x00, 0x0C, 0x00, 0xD8, 0x08};
  ASSERT_EQ(framed->size(), 128u);
  EXPECT_EQ(Bytes(framed->begin(), framed->begin() + 28), expected_header);
  EXPECT_EQ(Bytes(framed->begin() + 28, framed->end()), stream);
}

TEST(EquationNativeTest, EmptyExpressionStreamIsCarriedWhole) {
  const Bytes qvf = ole::testing::empty_expression_qvf();
  ASSERT_EQ(qvf.size(), 240u);
  auto framed = write_equation_native(qvf);
  ASSERT_TRUE(framed.ok()) << framed.error().message;
  ASSERT_EQ(framed->size(), 268u);
  EXPECT_EQ(ole::testing::u32_at(*framed, 8), 240u);
  EXPECT_EQ(Bytes(framed->begin() + 28, framed->end()), qvf);
}

// The length field is 32 bits: the largest stream it can describe still
// frames, one byte more fails. Checked on the length alone, without 4 GiB.
TEST(EquationNativeTest, LengthFieldLimit) {
  struct Case {
    std::uint64_t length;
    bool ok;
  };
  for (const Case& c : {Case{0, true}, Case{0xFFFFFFFFull, true}, Case{0x100000000ull, false},
                        Case{0xFFFFFFFFFFFFFFFFull, false}}) {
    SCOPED_TRACE(c.length);
    auto header = equation_native_header(c.length);
    ASSERT_EQ(header.ok(), c.ok);
    if (c.ok) {
      const Bytes h(header->begin(), header->end());
      EXPECT_EQ(ole::testing::u32_at(h, 8), c.length);
      EXPECT_EQ(ole::testing::u16_at(h, 0), 28u);
    } else {
      EXPECT_EQ(header.error().message, "QVF stream is too large");
    }
  }
}

}  // namespace
}  // namespace quorvix::qvf
