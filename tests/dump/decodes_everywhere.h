// Converts each TeX text in several positions (alone, after and before an
// item, in a group, a numerator, a radicand and a \left ... \right body) and
// checks that every stream decodes to its end without a warning.
#pragma once

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <utility>

#include "quorvix/qvf_inspect.h"
#include "support/converted_stream.h"

namespace quorvix::tools {

inline void expect_decodes_everywhere(std::span<const char* const> texts) {
  const std::pair<const char*, const char*> places[] = {
      {"", ""},
      {"x ", ""},
      {"", " y"},
      {"{", "}"},
      {"\\frac{", "}{z}"},
      {"\\sqrt{", "}"},
      {"\\left(", "\\right)"},
  };
  for (const char* text : texts) {
    for (const auto& [before, after] : places) {
      const std::string tex = std::string(before) + text + after;
      const Listing listing = inspect_qvf(test_support::converted_stream(tex));
      EXPECT_TRUE(listing.complete) << tex << ": stopped at " << listing.error_offset << ": "
                                    << listing.error_reason;
      for (const ListingLine& l : listing.lines)
        EXPECT_NE(l.kind, LineKind::kWarning) << tex << " at " << l.offset << ": " << l.text;
    }
  }
}

}  // namespace quorvix::tools
