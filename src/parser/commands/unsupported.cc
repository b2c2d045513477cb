// Commands that no handler translates are kept as raw TeX. Around the raw
// name, whatever the command visibly carries is still shown: a `[...]`
// option as its characters and, after size words (\foo\big x), the rest of
// the group. A \right without its \left keeps its delimiter in the raw text.
#include <string>
#include <utility>
#include <vector>

#include "parser/chars.h"
#include "parser/commands/command_arguments.h"
#include "parser/commands/left_right_delimiter.h"
#include "parser/commands/named_commands.h"
#include "parser/commands/switch_content.h"
#include "parser/helpers.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

// The size words a raw command absorbs.
constexpr std::string_view kSizeWords[] = {
    "big",  "Big",  "bigg",  "Bigg",  "bigl",  "Bigl",  "bigr",  "Bigr",
    "bigm", "Bigm", "biggl", "Biggl", "biggr", "Biggr", "biggm", "Biggm",
};

bool is_size_word(std::u32string_view letters) {
  for (std::string_view word : kSizeWords) {
    if (word.size() != letters.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < word.size() && same; ++i)
      same = letters[i] == static_cast<unsigned char>(word[i]);
    if (same) return true;
  }
  return false;
}

std::size_t after_whitespace(const Parser& p, std::size_t at) {
  const std::u32string_view chars = p.chars();
  while (at < chars.size() && is_whitespace(chars[at])) ++at;
  return at;
}

// What the command has gathered so far.
struct RawCommand {
  std::string raw;
  ExprList items;          // shown after the raw text
  bool sized = false;      // size words were absorbed
  bool bracketed = false;  // an option was shown
};

// \right and its delimiter as written, or false (the position unchanged).
[[gnu::noinline]] bool take_right_delimiter(Parser& p, std::string& raw) {
  const std::size_t start = p.pos();
  Result<DelimiterWithRaw> delimiter = parse_left_right_delimiter_with_raw(p, "right delimiter");
  if (!delimiter.ok()) {
    p.set_pos(start);
    return false;
  }
  raw += delimiter.value().raw;
  return true;
}

// Size words after the name join the raw text; the whitespace before them
// is dropped, whitespace before anything else stays.
[[gnu::noinline]] void absorb_size_words(Parser& p, RawCommand& command) {
  const std::u32string_view chars = p.chars();
  for (;;) {
    const std::size_t backslash = after_whitespace(p, p.pos());
    if (backslash >= chars.size() || chars[backslash] != U'\\') return;
    std::size_t end = backslash + 1;
    while (end < chars.size() && is_ascii_letter(chars[end])) ++end;
    const std::u32string_view word = chars.substr(backslash + 1, end - backslash - 1);
    if (!is_size_word(word)) return;
    command.raw += '\\';
    command.raw += encode_utf8(word);
    command.sized = true;
    p.set_pos(end);
  }
}

[[gnu::noinline]] void show_option(RawCommand& command, Expr content) {
  command.items.push_back(ast::make_char(U'['));
  command.items.push_back(std::move(content));
  command.items.push_back(ast::make_char(U']'));
  command.bracketed = true;
}

// The `[` option that comes next, up to its `]`, shown; false when it cannot
// be read (the parser is back at its `[`). `result` receives a fatal failure.
[[gnu::noinline]] bool show_next_option(Parser& p, RawCommand& command, Result<Expr>& result) {
  const std::size_t bracket = p.pos();
  p.next_char();  // the `[`
  Result<Expr> option = p.attempt_once(Construct::BracketGroup, [&] { return p.parse_sequence(U']'); });
  if (!option.ok()) {
    if (option.error().fatal) result = std::move(option);
    p.set_pos(bracket);
    return false;
  }
  show_option(command, std::move(option.value()));
  return true;
}

// `[...]` options, shown as their characters, up to the first that cannot
// be read.
[[gnu::noinline]] void show_options(Parser& p, RawCommand& command, Result<Expr>& result) {
  for (;;) {
    const std::size_t bracket = after_whitespace(p, p.pos());
    if (bracket >= p.chars().size() || p.chars()[bracket] != U'[') return;
    p.set_pos(bracket);
    if (!show_next_option(p, command, result)) return;
  }
}

// The rest of the group after size words, shown after them.
[[gnu::noinline]] void show_switch_content(Parser& p, RawCommand& command, Result<Expr>& result) {
  result = p.parse_switch_content();
  if (result.ok()) command.items.push_back(std::move(result.value()));
}

[[gnu::noinline]] void finish_raw_command(Parser& p, RawCommand& command, std::string_view name,
                                          Result<Expr>& result) {
  if (!command.items.empty()) {
    result = raw_prefix_sequence_with_raw(std::move(command.raw), std::move(command.items));
    return;
  }
  // A line-break hint keeps the spacing written after it.
  if (name == "allowbreak") command.raw += p.consume_raw_whitespace();
  result = ast::make_raw(std::move(command.raw));
}

[[gnu::noinline]] void start_raw_command(RawCommand& command, std::string_view name) {
  command.raw.reserve(name.size() + 1);
  command.raw.push_back('\\');
  command.raw.append(name);
}

[[gnu::noinline]] bool takes_switch_content(const Parser& p, const RawCommand& command) {
  return command.sized && !command.bracketed && !switch_content_ends_at(p, after_whitespace(p, p.pos()));
}

}  // namespace

Result<Expr> Parser::parse_unsupported_command(std::string_view name) {
  // The one result of this frame, which sits on the recursion through the
  // switch content: a fatal failure of an option, the content's failure, or
  // the command.
  Result<Expr> result = Expr();
  RawCommand command;
  start_raw_command(command, name);
  if (name != "right" || !take_right_delimiter(*this, command.raw)) {
    absorb_size_words(*this, command);
    show_options(*this, command, result);
    if (!result.ok()) return result;
    if (takes_switch_content(*this, command)) {
      show_switch_content(*this, command, result);
      if (!result.ok()) return result;
    }
  }
  finish_raw_command(*this, command, name, result);
  return result;
}

Result<Expr> untranslated_command(Parser& p, const NamedCommand& command) {
  return p.parse_unsupported_command(command.name);
}

Result<Expr> raw_primitive_command(Parser& p, const NamedCommand& command) {
  return ast::make_raw(p.consume_raw_primitive(command.name));
}

}  // namespace quorvix::parser
