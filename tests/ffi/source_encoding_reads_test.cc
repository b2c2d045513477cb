// How often a conversion reads QUORVIX_SOURCE_ENCODING: once, at its start,
// however much text its stages encode. The lookups are counted by replacing
// getenv in this test executable (every lookup in the process, the library's
// included, comes here).
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "ast/dump.h"
#include "ffi/convert.h"
#include "parser/parser.h"
#include "quorvix_ansi/encode.h"
#include "qvf/stream/stream.h"
#include "support/source_encoding.h"

namespace {

constexpr const char* kName = "QUORVIX_SOURCE_ENCODING";
std::atomic<std::size_t> g_encoding_reads{0};

}  // namespace

// A plain getenv over the process environment that counts the lookups of
// the encoding variable.
extern "C" char* getenv(const char* name) noexcept {
  if (std::strcmp(name, kName) == 0) g_encoding_reads.fetch_add(1, std::memory_order_relaxed);
  const std::size_t length = std::strlen(name);
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry)
    if (std::strncmp(*entry, name, length) == 0 && (*entry)[length] == '=') return *entry + length + 1;
  return nullptr;
}

namespace quorvix::ffi {
namespace {

std::size_t reads() { return g_encoding_reads.load(std::memory_order_relaxed); }

std::string repeated(std::string_view unit, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += unit;
  return out;
}

// Many non-ASCII literals, some inside groups and sub-parsers' reach.
const std::string kNonAsciiInput = "$a " + repeated("\xC3\xA9", 200) + " {\xC3\xA9{\xE4\xB8\xAD}} \\foo " +
                                   repeated("\xE2\x82\xAC", 100) + "$";

TEST(SourceEncodingReads, OneReadPerConversion) {
  const std::string unsupported =
      "unsupported QUORVIX_SOURCE_ENCODING value \"latin1\"; expected utf-8, gbk, or windows-1252";
  const struct {
    const char* value;
    std::string latex;
    std::string error;  // empty for success
  } cases[] = {
      {nullptr, kNonAsciiInput, ""},
      {"gbk", kNonAsciiInput, ""},
      {" Windows-1252 ", kNonAsciiInput, ""},
      {"latin1", kNonAsciiInput, unsupported},  // fails at the first literal
      {"latin1", "x+y", unsupported},           // fails at the source record
  };
  for (const auto& c : cases) {
    test_support::ScopedSourceEncoding env(c.value);
    const std::size_t before = reads();
    Result<conversion::EncodedEquation> r = convert_latex(c.latex, std::nullopt);
    const std::string what = std::string(c.value ? c.value : "unset") + ": " + c.latex.substr(0, 8);
    EXPECT_EQ(reads() - before, 1u) << what;
    if (c.error.empty()) {
      EXPECT_TRUE(r.ok()) << what << ": " << r.error().message;
    } else {
      ASSERT_FALSE(r.ok()) << what;
      EXPECT_EQ(r.error().message, c.error) << what;
    }
  }
}

// Stages given the conversion's encoding do not look at the environment,
// and give what they give when they read it themselves.
TEST(SourceEncodingReads, StagesGivenTheEncodingReadNothing) {
  test_support::ScopedSourceEncoding env("windows-1252");
  const auto encoding = quorvix_ansi::SourceEncoding::from_value("windows-1252");
  const std::string text = repeated("\xC3\xA9\xCE\xB1", 150);  // e-acute, alpha
  const ast::Expr run = ast::TextRun{text};

  std::size_t before = reads();
  auto tree = parser::Parser(text, encoding).parse();
  auto stream = qvf::write_qvf_with_prefs(text, run, std::nullopt, encoding);
  EXPECT_EQ(reads() - before, 0u);
  ASSERT_TRUE(tree.ok() && stream.ok());

  before = reads();
  auto tree_from_env = parser::Parser(text).parse();
  auto stream_from_env = qvf::write_qvf_with_prefs(text, run, std::nullopt);
  EXPECT_EQ(reads() - before, 2u);  // one per stage
  ASSERT_TRUE(tree_from_env.ok() && stream_from_env.ok());
  EXPECT_EQ(ast::dump(*tree), ast::dump(*tree_from_env));
  EXPECT_EQ(*stream, *stream_from_env);
}

}  // namespace
}  // namespace quorvix::ffi
