// A chosen source encoding is a value: it encodes as the variable read when
// it was chosen, whatever the variable says later, and an unsupported value
// fails only when something is encoded.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "quorvix_ansi/encode.h"
#include "support/source_encoding.h"

namespace quorvix::quorvix_ansi {
namespace {

// U+4E2D and the euro sign: kept by UTF-8, D6 D0 80 in GBK, "?" 80 in windows-1252.
const std::string kProbe = "\xE4\xB8\xAD\xE2\x82\xAC";

std::string encoded_or_error(const SourceEncoding& encoding) {
  Result<std::string> r = encode_quorvix_text(kProbe, encoding);
  return r.ok() ? *r : "error: " + r.error().message;
}

TEST(SourceEncodingChoice, KeepsTheEncodingReadWhenChosen) {
  const std::string unsupported =
      "error: unsupported QUORVIX_SOURCE_ENCODING value \" latin1\"; expected utf-8, gbk, or windows-1252";
  const struct {
    std::optional<std::string> chosen_under;
    std::string expected;
  } cases[] = {
      {std::nullopt, kProbe}, {"utf-8", kProbe},        {" GBK", "\xD6\xD0\x80"},
      {"cp1252", "?\x80"},    {" latin1", unsupported},
  };
  for (const auto& c : cases) {
    std::optional<SourceEncoding> chosen;
    {
      test_support::ScopedSourceEncoding env(c.chosen_under);
      chosen = SourceEncoding::from_environment();
      EXPECT_EQ(chosen->supported(), c.expected != unsupported);
    }
    const std::string what = c.chosen_under.value_or("<unset>");
    // The variable now says something else; the choice stands, in copies too.
    for (const std::optional<std::string>& later :
         {std::optional<std::string>("gbk"), std::optional<std::string>("latin1"),
          std::optional<std::string>()}) {
      test_support::ScopedSourceEncoding env(later);
      const SourceEncoding copy = *chosen;
      EXPECT_EQ(encoded_or_error(*chosen), c.expected) << what;
      EXPECT_EQ(encoded_or_error(copy), c.expected) << what;
    }
    EXPECT_EQ(
        encoded_or_error(SourceEncoding::from_value(c.chosen_under ? c.chosen_under->c_str() : nullptr)),
        c.expected)
        << what;
  }
  EXPECT_EQ(encoded_or_error(SourceEncoding()), kProbe);
}

}  // namespace
}  // namespace quorvix::quorvix_ansi
