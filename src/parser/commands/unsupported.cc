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
  std::vector<Expr> items;  // shown after the raw text
  bool sized = false;       // size words were absorbed
  bool bracketed = false;   // an option was shown
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

// `[...]` options, shown as their characters. An option that cannot be read
// ends the options: the parser is back at its `[`. Only a fatal failure is
// returned.
[[gnu::noinline]] Status show_options(Parser& p, RawCommand& command) {
  for (;;) {
    const std::size_t bracket = after_whitespace(p, p.pos());
    if (bracket >= p.chars().size() || p.chars()[bracket] != U'[') return {};
    p.set_pos(bracket);
    Result<std::optional<Expr>> option =
        p.attempt_once(Construct::BracketGroup, [&] { return p.parse_optional_bracket_group(); });
    if (!option.ok()) {
      if (option.error().fatal) return std::move(option).error();
      return {};
    }
    show_option(command, std::move(*option.value()));
  }
}

[[gnu::noinline]] Result<Expr> finish_raw_command(Parser& p, RawCommand& command, std::string_view name) {
  if (!command.items.empty())
    return raw_prefix_sequence_with_raw(std::move(command.raw), std::move(command.items));
  // A line-break hint keeps the spacing written after it.
  if (name == "allowbreak") command.raw += p.consume_raw_whitespace();
  return ast::make_raw(std::move(command.raw));
}

[[gnu::noinline]] void start_raw_command(RawCommand& command, std::string_view name) {
  command.raw.reserve(name.size() + 1);
  command.raw.push_back('\\');
  command.raw.append(name);
}

[[gnu::noinline]] bool takes_switch_content(const Parser& p, const RawCommand& command) {
  return command.sized && !command.bracketed && !switch_content_ends_at(p, after_whitespace(p, p.pos()));
}

[[gnu::noinline]] Result<Expr> raw_right(RawCommand& command) {
  return ast::make_raw(std::move(command.raw));
}

}  // namespace

Result<Expr> Parser::parse_unsupported_command(std::string_view name) {
  RawCommand command;
  start_raw_command(command, name);
  if (name == "right" && take_right_delimiter(*this, command.raw)) return raw_right(command);
  absorb_size_words(*this, command);
  if (Status options = show_options(*this, command); !options.ok()) return std::move(options).error();
  if (takes_switch_content(*this, command)) {
    Result<Expr> content = parse_switch_content();
    if (!content.ok()) return content;
    command.items.push_back(std::move(content.value()));
  }
  return finish_raw_command(*this, command, name);
}

Result<Expr> untranslated_command(Parser& p, const NamedCommand& command) {
  return p.parse_unsupported_command(command.name);
}

Result<Expr> raw_primitive_command(Parser& p, const NamedCommand& command) {
  return ast::make_raw(p.consume_raw_primitive(command.name));
}

}  // namespace quorvix::parser
