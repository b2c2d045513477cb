// The compound file written straight as hex digits must be, digit for digit,
// the hex of the file written as bytes.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/hex.h"
#include "common/internal_error.h"
#include "ole/compound_file.h"

namespace quorvix::ole {
namespace {

constexpr std::size_t kHeaderBytes = 28;

// A stream of `body_size` bytes behind a 28-byte header, none of them zero
// and each depending on the size, so that no digit of a file can come from
// a file of another size by chance.
struct TestStream {
  Bytes header;
  Bytes body;
};

TestStream stream_of(std::size_t body_size) {
  TestStream s{Bytes(kHeaderBytes), Bytes(body_size)};
  for (std::size_t i = 0; i < kHeaderBytes; ++i) s.header[i] = static_cast<std::uint8_t>(0xC0 + i);
  for (std::size_t i = 0; i < body_size; ++i) {
    s.body[i] = static_cast<std::uint8_t>(1 + (i * 37 + body_size * 11) % 255);
  }
  return s;
}

// The digits write_compound_file_hex gives, checked not to run past the
// size that the plan announced. Empty when the file cannot be laid out.
std::string hex_file(const TestStream& s) {
  const Result<HexFilePlan> plan = plan_compound_file_hex(s.header, s.body);
  if (!plan.ok()) return {};
  const std::size_t size = plan->size;
  constexpr std::string_view kGuard = "<guard>";
  std::string out(2 * size, '?');
  out += kGuard;
  char* const end = write_compound_file_hex(*plan, s.header, s.body, out.data());
  EXPECT_EQ(end, out.data() + 2 * size);
  EXPECT_EQ(out.substr(2 * size), kGuard) << "digits written past the file";
  out.resize(2 * size);
  return out;
}

std::string byte_file_digits(const TestStream& s) {
  const Result<Bytes> file = write_compound_file(s.header, s.body, std::nullopt);
  EXPECT_TRUE(file.ok()) << file.error().message;
  return file.ok() ? hex(*file) : std::string();
}

// Every stream size that keeps the stream in the mini stream, and the sizes
// around the cutoff and some beyond it, twice over: once when each file
// shape is written as hex for the first time and once when it has been
// written before.
TEST(CompoundFileHexTest, DigitsAreThoseOfTheBytesForEveryStreamSize) {
  std::vector<std::size_t> sizes;
  for (std::size_t body = 0; body <= 4200; ++body) sizes.push_back(body);
  for (const std::size_t body : {5000u, 12345u, 40000u, 60000u}) sizes.push_back(body);
  for (int pass = 0; pass < 2; ++pass) {
    for (const std::size_t body : sizes) {
      const TestStream s = stream_of(body);
      const std::string expected = byte_file_digits(s);
      ASSERT_FALSE(expected.empty()) << body;
      const std::string got = hex_file(s);
      ASSERT_EQ(got.size(), expected.size()) << "body of " << body << " bytes, pass " << pass;
      ASSERT_EQ(got, expected) << "body of " << body << " bytes, pass " << pass;
    }
  }
}

// Where the plan says the body's digits are, they are the body's: the
// response copies them from there. Every file laid out from a template says
// where; a file built as bytes says nothing.
TEST(CompoundFileHexTest, TheBodyDigitsAreWhereThePlanSays) {
  std::size_t located = 0;
  for (std::size_t body = 0; body <= 4200; body += body < 300 ? 1 : 7) {
    const TestStream s = stream_of(body);
    const Result<HexFilePlan> plan = plan_compound_file_hex(s.header, s.body);
    ASSERT_TRUE(plan.ok()) << body;
    const std::optional<std::size_t> at = native_body_digits_offset(*plan, s.header.size());
    EXPECT_EQ(at.has_value(), plan->shape != nullptr) << body;
    if (!at) continue;
    ++located;
    const std::string digits = hex_file(s);
    ASSERT_LE(*at + 2 * body, digits.size()) << body;
    EXPECT_EQ(digits.substr(*at, 2 * body), hex(s.body)) << body;
    EXPECT_EQ(digits.substr(*at - 2 * kHeaderBytes, 2 * kHeaderBytes), hex(s.header)) << body;
  }
  EXPECT_GT(located, 300u);
  const TestStream large = stream_of(40000);
  const Result<HexFilePlan> plan = plan_compound_file_hex(large.header, large.body);
  ASSERT_TRUE(plan.ok());
  EXPECT_FALSE(native_body_digits_offset(*plan, large.header.size()).has_value());
}

// A stream given whole, without a separate header, and the empty stream.
TEST(CompoundFileHexTest, StreamsWithoutHeader) {
  for (const std::size_t size : {0u, 1u, 64u, 65u, 4095u, 4096u}) {
    TestStream s = stream_of(size);
    s.header.clear();
    EXPECT_EQ(hex_file(s), byte_file_digits(s)) << size;
  }
}

// Laying out fails exactly as the byte writer does.
TEST(CompoundFileHexTest, FilesThatCannotBeLaidOut) {
  const TestStream s = stream_of(512 * 130);
  const Result<HexFilePlan> plan = plan_compound_file_hex(s.header, s.body);
  ASSERT_FALSE(plan.ok());
  const Result<Bytes> bytes = write_compound_file(s.header, s.body, std::nullopt);
  ASSERT_FALSE(bytes.ok());
  EXPECT_EQ(plan.error().message, bytes.error().message);
  EXPECT_EQ(plan.error().message, "minimal CFB writer currently supports at most 128 sectors");
}

// A plan writes only the stream it was made for: a stream of another size,
// in the mini stream or beyond it, is refused before a digit is written.
TEST(CompoundFileHexTest, APlanRefusesAnotherStream) {
  for (const auto& [planned, given] : {std::pair{100u, 101u}, {100u, 99u}, {5000u, 5001u}, {100u, 5000u}}) {
    const TestStream a = stream_of(planned);
    const TestStream b = stream_of(given);
    const Result<HexFilePlan> plan = plan_compound_file_hex(a.header, a.body);
    ASSERT_TRUE(plan.ok()) << plan.error().message;
    std::string out(2 * plan->size, '?');
    EXPECT_THROW(write_compound_file_hex(*plan, b.header, b.body, out.data()), InternalError)
        << planned << " then " << given;
    EXPECT_EQ(out, std::string(2 * plan->size, '?')) << planned << " then " << given;
  }
}

// Threads that write files of the same shapes for the first time at once
// all get the digits of the bytes.
TEST(CompoundFileHexTest, ThreadsWritingNewShapesAtOnceAgree) {
  constexpr int kThreads = 4;
  std::vector<std::size_t> sizes;
  for (std::size_t body = 0; body < 4100; body += 61) sizes.push_back(body);
  std::vector<std::string> expected;
  for (const std::size_t body : sizes) expected.push_back(byte_file_digits(stream_of(body)));

  std::array<std::vector<std::string>, kThreads> got;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (const std::size_t body : sizes)
        got[static_cast<std::size_t>(t)].push_back(hex_file(stream_of(body)));
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    ASSERT_EQ(got[static_cast<std::size_t>(t)].size(), sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
      EXPECT_EQ(got[static_cast<std::size_t>(t)][i], expected[i]) << "thread " << t << ", body " << sizes[i];
    }
  }
}

}  // namespace
}  // namespace quorvix::ole
