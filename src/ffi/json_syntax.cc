#include "ffi/json_syntax.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "common/small_stack.h"
#include "common/utf8.h"
#include "ffi/json_scan.h"

namespace quorvix::ffi {
namespace {

enum class Problem : std::uint8_t {
  kEofWhileParsingList,
  kEofWhileParsingObject,
  kEofWhileParsingString,
  kEofWhileParsingValue,
  kExpectedColon,
  kExpectedListCommaOrEnd,
  kExpectedObjectCommaOrEnd,
  kExpectedSomeIdent,
  kExpectedSomeValue,
  kInvalidEscape,
  kInvalidNumber,
  kNumberOutOfRange,
  kControlCharacterWhileParsingString,
  kKeyMustBeAString,
  kLoneLeadingSurrogateInHexEscape,
  kTrailingComma,
  kTrailingCharacters,
  kUnexpectedEndOfHexEscape,
};

const char* describe(Problem problem) {
  switch (problem) {
    case Problem::kEofWhileParsingList: return "EOF while parsing a list";
    case Problem::kEofWhileParsingObject: return "EOF while parsing an object";
    case Problem::kEofWhileParsingString: return "EOF while parsing a string";
    case Problem::kEofWhileParsingValue: return "EOF while parsing a value";
    case Problem::kExpectedColon: return "expected `:`";
    case Problem::kExpectedListCommaOrEnd: return "expected `,` or `]`";
    case Problem::kExpectedObjectCommaOrEnd: return "expected `,` or `}`";
    case Problem::kExpectedSomeIdent: return "expected ident";
    case Problem::kExpectedSomeValue: return "expected value";
    case Problem::kInvalidEscape: return "invalid escape";
    case Problem::kInvalidNumber: return "invalid number";
    case Problem::kNumberOutOfRange: return "number out of range";
    case Problem::kControlCharacterWhileParsingString:
      return "control character (\\u0000-\\u001F) found while parsing a string";
    case Problem::kKeyMustBeAString: return "key must be a string";
    case Problem::kLoneLeadingSurrogateInHexEscape: return "lone leading surrogate in hex escape";
    case Problem::kTrailingComma: return "trailing comma";
    case Problem::kTrailingCharacters: return "trailing characters";
    case Problem::kUnexpectedEndOfHexEscape: return "unexpected end of hex escape";
  }
  return "invalid json";
}

// A problem and the number of bytes of the text that its position covers: the
// reported line and column are those of the last of these bytes.
struct SyntaxError {
  Problem problem;
  std::size_t extent;
};

using MaybeError = std::optional<SyntaxError>;

// Decimal digits of 2^1024 - 2^970, the smallest magnitude that rounds to
// infinity as a double; digit strings at or above it are out of range.
constexpr std::string_view kOverflowDigits =
    "179769313486231580793728971405303415079934132710037826936173778980444968292764750946649017977587"
    "207096330286416692887910946555547851940402630657488671505820681908902000708383676273854845817711"
    "531764475730270069855571366959622842914819860834936475292719074168444365510704342711559699508093"
    "042880177904174497792";
constexpr std::int64_t kOverflowExponent = 309;  // the threshold is 0.1797...e309

bool is_digit(char c) { return c >= '0' && c <= '9'; }

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool is_leading_surrogate(unsigned unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_trailing_surrogate(unsigned unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

class Checker {
 public:
  Checker(std::string_view text, std::span<TopLevelMember> members) : text_(text), members_(members) {}

  MaybeError run();

 private:
  enum class Container : std::uint8_t { kList, kObject };

  bool at_end() const { return pos_ >= text_.size(); }
  char peek() const { return text_[pos_]; }
  // An error about the character just consumed (or the end of the text).
  SyntaxError consumed_error(Problem p) const { return {p, pos_}; }
  // An error about the next, not yet consumed character.
  SyntaxError peeked_error(Problem p) const { return {p, std::min(text_.size(), pos_ + 1)}; }

  void skip_whitespace() {
    while (!at_end()) {
      const char c = peek();
      if (c != ' ' && c != '\n' && c != '\t' && c != '\r') return;
      ++pos_;
    }
  }

  MaybeError scalar();
  MaybeError member_key(bool top_level);
  TopLevelMember* member_named(std::string_view key_body) const;
  void record_string(TopLevelMember* target, std::size_t start) const;
  MaybeError word(std::string_view rest);
  MaybeError string();
  MaybeError escape();
  MaybeError hex_escape(unsigned& unit);
  MaybeError unicode_escape();
  MaybeError number();
  bool out_of_range(std::size_t start, std::int64_t exponent) const;

  std::string_view text_;
  std::size_t pos_ = 0;
  std::span<TopLevelMember> members_;
  // The looked-out-for member whose key was just read, until its value starts.
  TopLevelMember* pending_ = nullptr;
};

MaybeError Checker::run() {
  SmallStack<Container> open;
  for (;;) {
    // A value starts here.
    skip_whitespace();
    if (at_end()) {
      // A request with no value at all, empty or blank, is reported at the
      // very start rather than after its whitespace.
      if (open.empty()) return SyntaxError{Problem::kEofWhileParsingValue, 0};
      return peeked_error(Problem::kEofWhileParsingValue);
    }
    const char c = peek();
    TopLevelMember* const target = std::exchange(pending_, nullptr);
    if (target != nullptr) target->string_body.reset();
    if (c == '[') {
      ++pos_;
      skip_whitespace();
      if (at_end()) return peeked_error(Problem::kEofWhileParsingList);
      if (peek() != ']') {
        open.push(Container::kList);
        continue;
      }
      ++pos_;
    } else if (c == '{') {
      ++pos_;
      skip_whitespace();
      if (at_end()) return peeked_error(Problem::kEofWhileParsingObject);
      if (peek() != '}') {
        open.push(Container::kObject);
        if (auto e = member_key(open.size() == 1)) return e;
        continue;
      }
      ++pos_;
    } else {
      const std::size_t start = pos_;
      if (auto e = scalar()) return e;
      if (c == '"') record_string(target, start);
    }

    // A value has ended: close containers until one continues with a comma.
    for (;;) {
      skip_whitespace();
      if (open.empty()) {
        if (!at_end()) return peeked_error(Problem::kTrailingCharacters);
        return std::nullopt;
      }
      const bool list = open.top() == Container::kList;
      if (at_end()) {
        return peeked_error(list ? Problem::kEofWhileParsingList : Problem::kEofWhileParsingObject);
      }
      const char close = list ? ']' : '}';
      if (peek() == close) {
        ++pos_;
        open.pop();
        continue;
      }
      if (peek() != ',') {
        return peeked_error(list ? Problem::kExpectedListCommaOrEnd : Problem::kExpectedObjectCommaOrEnd);
      }
      ++pos_;
      skip_whitespace();
      if (at_end()) return peeked_error(Problem::kEofWhileParsingValue);
      if (peek() == close) return peeked_error(Problem::kTrailingComma);
      if (!list) {
        if (auto e = member_key(open.size() == 1)) return e;
      }
      break;
    }
  }
}

// An object member's key and colon, starting at a non-whitespace character.
MaybeError Checker::member_key(bool top_level) {
  if (peek() != '"') return peeked_error(Problem::kKeyMustBeAString);
  const std::size_t body = ++pos_;
  if (auto e = string()) return e;
  if (top_level) pending_ = member_named(text_.substr(body, pos_ - 1 - body));
  skip_whitespace();
  if (at_end()) return peeked_error(Problem::kEofWhileParsingObject);
  if (peek() != ':') return peeked_error(Problem::kExpectedColon);
  ++pos_;
  return std::nullopt;
}

// The looked-out-for member that a checked key body names, if any. A key
// written with escapes is decoded first.
TopLevelMember* Checker::member_named(std::string_view key_body) const {
  if (members_.empty()) return nullptr;
  std::string decoded;
  if (key_body.find('\\') != std::string_view::npos) {
    decoded = decode_json_string(key_body);
    key_body = decoded;
  }
  for (TopLevelMember& member : members_) {
    if (member.name == key_body) return &member;
  }
  return nullptr;
}

// Records the string value that started at `start` (its opening quote) and
// has just been read as the value of `target`.
void Checker::record_string(TopLevelMember* target, std::size_t start) const {
  if (target != nullptr) target->string_body = text_.substr(start + 1, pos_ - start - 2);
}

MaybeError Checker::scalar() {
  switch (peek()) {
    case 'n': ++pos_; return word("ull");
    case 't': ++pos_; return word("rue");
    case 'f': ++pos_; return word("alse");
    case '"': ++pos_; return string();
    case '-': ++pos_; return number();
    default:
      if (is_digit(peek())) return number();
      return peeked_error(Problem::kExpectedSomeValue);
  }
}

// The rest of null, true or false.
MaybeError Checker::word(std::string_view rest) {
  for (const char expected : rest) {
    if (at_end()) return consumed_error(Problem::kEofWhileParsingValue);
    if (text_[pos_++] != expected) return consumed_error(Problem::kExpectedSomeIdent);
  }
  return std::nullopt;
}

// A string body after its opening quote.
MaybeError Checker::string() {
  for (;;) {
    pos_ = find_json_string_special(text_, pos_);
    if (at_end()) return consumed_error(Problem::kEofWhileParsingString);
    const char c = text_[pos_++];
    if (c == '"') return std::nullopt;
    if (c != '\\') return consumed_error(Problem::kControlCharacterWhileParsingString);
    if (auto e = escape()) return e;
  }
}

// One escape after its backslash.
MaybeError Checker::escape() {
  if (at_end()) return consumed_error(Problem::kEofWhileParsingString);
  switch (text_[pos_++]) {
    case '"':
    case '\\':
    case '/':
    case 'b':
    case 'f':
    case 'n':
    case 'r':
    case 't': return std::nullopt;
    case 'u': return unicode_escape();
    default: return consumed_error(Problem::kInvalidEscape);
  }
}

// Four hex digits of a \u escape; the error points at the first bad digit.
// A closing quote among them ends the escape early; the end of the text ends
// the string.
MaybeError Checker::hex_escape(unsigned& unit) {
  unit = 0;
  for (int k = 0; k < 4; ++k) {
    if (at_end()) return consumed_error(Problem::kEofWhileParsingString);
    const char c = text_[pos_++];
    const int v = hex_value(c);
    if (v < 0) return consumed_error(c == '"' ? Problem::kUnexpectedEndOfHexEscape : Problem::kInvalidEscape);
    unit = unit * 16 + static_cast<unsigned>(v);
  }
  return std::nullopt;
}

// A \u escape after the u: a non-surrogate unit, or a leading surrogate
// directly followed by a \u escape of a trailing one. A surrogate without
// its partner is reported where its own four digits end: a trailing one
// first, or a leading one followed by anything but a \u escape (another
// character, the closing quote, a different escape). A leading one followed
// by a \u escape of something other than a trailing surrogate is reported
// after that escape.
MaybeError Checker::unicode_escape() {
  unsigned unit = 0;
  if (auto e = hex_escape(unit)) return e;
  if (is_trailing_surrogate(unit)) return consumed_error(Problem::kLoneLeadingSurrogateInHexEscape);
  if (!is_leading_surrogate(unit)) return std::nullopt;
  if (at_end()) return consumed_error(Problem::kEofWhileParsingString);
  if (text_[pos_] != '\\') return consumed_error(Problem::kLoneLeadingSurrogateInHexEscape);
  if (pos_ + 1 == text_.size()) {
    pos_ = text_.size();
    return consumed_error(Problem::kEofWhileParsingString);
  }
  if (text_[pos_ + 1] != 'u') return consumed_error(Problem::kLoneLeadingSurrogateInHexEscape);
  pos_ += 2;
  if (auto e = hex_escape(unit)) return e;
  if (!is_trailing_surrogate(unit)) return consumed_error(Problem::kLoneLeadingSurrogateInHexEscape);
  return std::nullopt;
}

// A number after its optional minus sign.
MaybeError Checker::number() {
  const std::size_t start = pos_;
  if (at_end()) return consumed_error(Problem::kEofWhileParsingValue);
  const char first = text_[pos_++];
  if (first == '0') {
    if (!at_end() && is_digit(peek())) return peeked_error(Problem::kInvalidNumber);
  } else if (is_digit(first)) {
    while (!at_end() && is_digit(peek())) ++pos_;
  } else {
    return consumed_error(Problem::kInvalidNumber);
  }
  bool nonzero = first != '0';
  if (!at_end() && peek() == '.') {
    ++pos_;
    const std::size_t fraction = pos_;
    while (!at_end() && is_digit(peek())) {
      nonzero = nonzero || peek() != '0';
      ++pos_;
    }
    if (pos_ == fraction) {
      return peeked_error(at_end() ? Problem::kEofWhileParsingValue : Problem::kInvalidNumber);
    }
  }
  std::int64_t exponent = 0;
  if (!at_end() && (peek() == 'e' || peek() == 'E')) {
    ++pos_;
    bool negative = false;
    if (!at_end() && (peek() == '+' || peek() == '-')) negative = text_[pos_++] == '-';
    if (at_end()) return consumed_error(Problem::kEofWhileParsingValue);
    if (!is_digit(text_[pos_++])) return consumed_error(Problem::kInvalidNumber);
    std::int64_t magnitude = text_[pos_ - 1] - '0';
    constexpr std::int64_t kInt32Max = 2147483647;
    while (!at_end() && is_digit(peek())) {
      magnitude = magnitude * 10 + (text_[pos_++] - '0');
      // An exponent too large for 32 bits can only overflow a non-zero value.
      if (magnitude > kInt32Max) {
        if (nonzero && !negative) return consumed_error(Problem::kNumberOutOfRange);
        while (!at_end() && is_digit(peek())) ++pos_;
        return std::nullopt;
      }
    }
    exponent = negative ? -magnitude : magnitude;
  }
  if (nonzero && out_of_range(start, exponent)) return consumed_error(Problem::kNumberOutOfRange);
  return std::nullopt;
}

// Whether the number whose digits start at `start` and end at the current
// position (or at its exponent), scaled by 10^exponent, rounds to infinity.
bool Checker::out_of_range(std::size_t start, std::int64_t exponent) const {
  // Significant digits: from the first non-zero digit, '.' skipped.
  std::string_view mantissa = text_.substr(start, pos_ - start);
  mantissa = mantissa.substr(0, std::min(mantissa.size(), mantissa.find_first_of("eE")));
  const std::size_t point = std::min(mantissa.size(), mantissa.find('.'));
  const std::size_t lead = mantissa.find_first_not_of("0.");
  if (lead == std::string_view::npos) return false;
  // The value is 0.d1d2... times 10^scale.
  const std::int64_t scale =
      lead < point ? static_cast<std::int64_t>(point - lead) : -static_cast<std::int64_t>(lead - point - 1);
  const std::int64_t magnitude = scale + exponent;
  if (magnitude != kOverflowExponent) return magnitude > kOverflowExponent;
  std::size_t k = 0;
  for (std::size_t i = lead; i < mantissa.size(); ++i) {
    if (mantissa[i] == '.') continue;
    if (k == kOverflowDigits.size()) return true;  // equal so far and longer
    if (mantissa[i] != kOverflowDigits[k]) return mantissa[i] > kOverflowDigits[k];
    ++k;
  }
  // A prefix of the threshold is below it unless it is all of it.
  return k == kOverflowDigits.size();
}

}  // namespace

Status check_json_syntax(std::string_view text) { return check_json_syntax(text, {}); }

Status check_json_syntax(std::string_view text, std::span<TopLevelMember> members) {
  for (TopLevelMember& member : members) member.string_body.reset();
  const MaybeError error = Checker(text, members).run();
  if (!error) return Status();
  std::size_t line = 1;
  std::size_t column = 0;
  for (std::size_t i = 0; i < error->extent; ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 0;
    } else {
      ++column;
    }
  }
  return make_error(std::string(describe(error->problem)) + " at line " + std::to_string(line) + " column " +
                    std::to_string(column));
}

std::string decode_json_string(std::string_view body) { return decode_json_string(body, std::string()); }

std::string decode_json_string(std::string_view body, std::string text) {
  // Every escape is at least as long as the UTF-8 it stands for.
  text.reserve(text.size() + body.size());
  std::size_t i = 0;
  const auto hex_unit = [&body](std::size_t at) {
    unsigned unit = 0;
    for (std::size_t k = at; k < at + 4; ++k) unit = unit * 16 + static_cast<unsigned>(hex_value(body[k]));
    return unit;
  };
  while (i < body.size()) {
    const std::size_t backslash = body.find('\\', i);
    if (backslash == std::string_view::npos) {
      text.append(body.substr(i));
      break;
    }
    text.append(body.substr(i, backslash - i));
    const char kind = body[backslash + 1];
    i = backslash + 2;
    if (kind != 'u') {
      text.push_back(one_letter_escape(kind));
      continue;
    }
    std::uint32_t code = hex_unit(i);
    i += 4;
    if (is_leading_surrogate(code)) {
      // The check let a leading surrogate through only with its partner.
      code = 0x10000 + ((code - 0xD800) << 10) + (hex_unit(i + 2) - 0xDC00);
      i += 6;
    }
    append_utf8(text, code);
  }
  return text;
}

}  // namespace quorvix::ffi
