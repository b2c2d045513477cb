// The closing \end{name} of an environment, and the small look-aheads that
// the environment readers share.
#include <string>

#include "parser/char_debug.h"
#include "parser/chars.h"
#include "parser/environments/environments.h"

namespace quorvix::parser {

bool control_word_follows(const Parser& p, std::u32string_view word) {
  const std::u32string_view chars = p.chars();
  const std::size_t at = p.pos();
  if (at >= chars.size() || chars[at] != U'\\') return false;
  const std::u32string_view rest = chars.substr(at + 1);
  return rest.substr(0, word.size()) == word &&
         (rest.size() == word.size() || !is_ascii_letter(rest[word.size()]));
}

bool starts_end_environment(const Parser& p, std::string_view name) {
  const std::u32string_view rest = p.chars().substr(p.pos());
  constexpr std::u32string_view kEnd = U"\\end{";
  if (rest.substr(0, kEnd.size()) != kEnd) return false;
  std::size_t at = kEnd.size();
  for (const char c : name) {
    if (at >= rest.size() || rest[at] != static_cast<unsigned char>(c)) return false;
    ++at;
  }
  return at < rest.size() && rest[at] == U'}';
}

std::string recover_environment_separator_prefix(const Parser& p) {
  const std::u32string_view chars = p.chars();
  std::size_t start = p.pos();
  while (start > 0 && is_whitespace(chars[start - 1])) --start;
  return encode_utf8(chars.substr(start, p.pos() - start));
}

EnvironmentShellMode shell_mode_of_name(std::string_view name) {
  return !name.empty() && name.front() == '\\' ? EnvironmentShellMode::CommandName
                                               : EnvironmentShellMode::SpelledName;
}

namespace {

// The next character in quotes, or None at the end of the input.
std::string quoted_next(const Parser& p) {
  const std::optional<char32_t> next = p.peek();
  return next ? char_debug(*next) : "None";
}

Error expected_end_error(std::string_view name, std::string_view found) {
  std::string message = "expected \\end{";
  message += name;
  message += "}, found ";
  message += found;
  return make_error(std::move(message));
}

}  // namespace

Status consume_end_environment(Parser& p, std::string_view name) {
  if (p.peek() != U'\\') return make_error("expected '\\\\', found " + quoted_next(p));
  p.next_char();
  const std::size_t letters = p.pos();
  while (!p.at_end() && is_ascii_letter(*p.peek())) p.next_char();
  const std::string word = encode_utf8(p.chars().substr(letters, p.pos() - letters));
  if (word != "end") return expected_end_error(name, "\\" + word);
  Result<std::string> found = p.parse_raw_group("environment end name");
  if (!found.ok()) return std::move(found).error();
  if (found.value() != name) return expected_end_error(name, "\\end{" + found.value() + "}");
  return Status();
}

}  // namespace quorvix::parser
