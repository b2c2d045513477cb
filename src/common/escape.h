// Quoted forms of text with escapes, for messages, tree dumps and listings.
// Each reader has its own form, described by an `EscapeForm`; they all share
// this one mechanism.
#pragma once

#include <string>
#include <string_view>

namespace quorvix {

// What becomes of the bytes of an invalid UTF-8 sequence.
enum class InvalidUtf8 : unsigned char {
  kCopy,     // written unchanged
  kHex,      // each byte as \xNN
  kReplace,  // the sequence as U+FFFD
};

struct EscapeForm {
  char quote = '"';  // surrounds the text; escaped with a backslash inside it
  // U+0000 as \0; otherwise it is written like the other control characters.
  bool nul_as_zero = false;
  // Besides U+0000 to U+001F, these are written as escapes too.
  bool escape_delete = false;  // U+007F
  bool escape_c1 = false;      // U+0080 to U+009F
  // Control characters as \u{x} (lower-case hex), otherwise as \xNN.
  bool braced_code = false;
  InvalidUtf8 invalid = InvalidUtf8::kCopy;
};

// Appends `c` as it stands inside a quoted text of the given form: a
// backslash, the quote character, line feed, carriage return and tab as
// two-character escapes, other control characters as their code.
void append_escaped_char(std::string& out, char32_t c, const EscapeForm& form);

// `text` between the form's quotes, each character escaped as above.
std::string quote_escaped(std::string_view text, const EscapeForm& form);

}  // namespace quorvix
