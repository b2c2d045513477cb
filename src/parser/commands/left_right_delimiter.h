// The delimiter written after \right (and, later, \left and \middle): a
// character, a backslash and one other character, or a delimiter name.
//
// Names are read so far only where they are kept by name (\lgroup,
// \rgroup, \lt, \gt); a name that stands for a delimiter character through
// the symbol tables (\rangle, \rvert ...) is not read yet and fails as an
// unsupported delimiter, so that the caller keeps it as ordinary input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/result.h"

namespace quorvix::parser {

class Parser;

enum class DelimiterForm : std::uint8_t {
  Plain,    // a character
  RawName,  // a name kept as written
};

struct LeftRightDelimiter {
  DelimiterForm form = DelimiterForm::Plain;
  char32_t ch = 0;   // Plain
  std::string name;  // RawName, without the backslash
};

struct DelimiterWithRaw {
  LeftRightDelimiter delimiter;
  std::string raw;  // the text consumed, from the whitespace before the delimiter on
};

// Reads a delimiter after whitespace. Fails with "expected <label>" at the
// end of the input and "unsupported <label>: \<name>" for an unknown name;
// the position is then wherever the read stopped.
Result<DelimiterWithRaw> parse_left_right_delimiter_with_raw(Parser& p, std::string_view label);

}  // namespace quorvix::parser
