#include "parser/text_mode/content.h"

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "parser/chars.h"
#include "parser/helpers.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;
using namespace std::string_view_literals;

namespace {

// The characters that keep a text accent's backslash raw and show the
// accented argument after it (\"a, \'e, \H o, \v s ...).
constexpr char32_t kTextAccents[] = {U'"', U'\'', U'.', U'=', U'H', U'^', U'`', U'r', U'u', U'v', U'~'};

bool is_text_accent(std::u32string_view name) {
  if (name.size() != 1) return false;
  for (const char32_t accent : kTextAccents)
    if (name.front() == accent) return true;
  return false;
}

// The symbols text mode knows by name; 0 for any other name.
char32_t text_symbol(std::u32string_view name) {
  if (name.size() == 1) {
    switch (name.front()) {
      case U'S': return U'\u00A7';
      case U'O': return U'\u2205';
      case U'P': return U'\u00B6';
      default: return 0;
    }
  }
  if (name == U"sect"sv) return U'\u00A7';
  if (name == U"AA"sv) return U'\u00C5';
  return 0;
}

bool is_escaped_special(std::u32string_view name) {
  return name.size() == 1 && std::u32string_view(U"#$%&_{}").find(name.front()) != std::u32string_view::npos;
}

Expr raw_backslash_name(std::u32string_view name) {
  std::string raw = "\\";
  raw += encode_utf8(name);
  return ast::make_raw(std::move(raw));
}

// The scanner's state for one text: the items so far and the run of
// ordinary characters not yet added.
class Scanner {
 public:
  Scanner(Parser& p, std::u32string_view text) : p_(p), text_(text) {}

  Result<Expr> run();

 private:
  void flush() {
    if (run_.empty()) return;
    items_.push_back(ast::make_text(std::move(run_)));
    run_.clear();
  }
  void add_char(char32_t c) { append_utf8(run_, c); }
  void trim_run_end() {
    while (!run_.empty() && (run_.back() == ' ' || run_.back() == '\t' || run_.back() == '\n' ||
                             run_.back() == '\r' || run_.back() == '\f' || run_.back() == '\v'))
      run_.pop_back();
  }
  std::optional<char32_t> at(std::size_t i) const {
    if (i >= text_.size()) return std::nullopt;
    return text_[i];
  }
  // Room for the items of the commands from pos_ on, made once, at the
  // first command: each adds at most three items (an accent's raw backslash,
  // its mark and its argument) and the run of characters in front of it one.
  // No item comes from nothing, so the length of the text bounds them too.
  // A text of many commands then does not move its list item by item each
  // time the list grows; a text of a few grows as usual, in the small blocks
  // that short lists take.
  void reserve_items() {
    reserved_ = true;
    std::size_t commands = 0;
    for (std::size_t i = pos_; i < text_.size(); ++i) commands += text_[i] == U'\\';
    if (commands >= kReservedCommands)
      items_.reserve(items_.size() + std::min(3 * commands, text_.size() - pos_) + 1);
  }
  static constexpr std::size_t kReservedCommands = 4;
  void scan_dollar();
  // A command after the backslash at pos_; false with a failure in result_.
  bool scan_command();
  bool scan_accent(char32_t accent, std::size_t after_name);
  void scan_circled();
  // The scan of a group's text, recursively; nothing on failure (result_
  // holds it).
  std::optional<Expr> scan_group(std::u32string_view group);
  // After whitespace from `position`, the text of the `{` group there (nested
  // braces counted), the position moved past it; nothing when no group
  // follows, or when it is unclosed (the position then at the end). The
  // closing brace of every `{` is found in one pass on first use, so a run of
  // unclosed groups is not scanned to the end once per group.
  std::optional<std::u32string_view> take_group(std::size_t& position);

  Parser& p_;
  std::u32string_view text_;
  std::size_t pos_ = 0;
  ExprList items_;
  std::string run_;
  Result<Expr> result_ = Expr();
  std::vector<std::size_t> close_;  // by position of a `{`; npos when unclosed
  bool reserved_ = false;
};

std::optional<std::u32string_view> Scanner::take_group(std::size_t& position) {
  while (position < text_.size() && is_whitespace(text_[position])) ++position;
  if (position >= text_.size() || text_[position] != U'{') return std::nullopt;
  if (close_.empty()) {
    close_.assign(text_.size(), std::u32string_view::npos);
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < text_.size(); ++i) {
      if (text_[i] == U'{') {
        open.push_back(i);
      } else if (text_[i] == U'}' && !open.empty()) {
        close_[open.back()] = i;
        open.pop_back();
      }
    }
  }
  const std::size_t close = close_[position];
  if (close == std::u32string_view::npos) {
    position = text_.size();
    return std::nullopt;
  }
  const std::u32string_view inner = text_.substr(position + 1, close - position - 1);
  position = close + 1;
  return inner;
}

Result<Expr> Scanner::run() {
  while (pos_ < text_.size()) {
    const char32_t c = text_[pos_];
    if (c == U'$') {
      scan_dollar();
    } else if (c == U'\\') {
      if (!reserved_) reserve_items();
      if (!scan_command()) return std::move(result_);
    } else if (is_whitespace(c) && run_.empty() && at(pos_ + 1) == U'$') {
      ++pos_;  // whitespace right before a dollar, with nothing pending
    } else {
      add_char(c);
      ++pos_;
    }
  }
  flush();
  return ast::make_sequence(std::move(items_));
}

void Scanner::scan_dollar() {
  const std::size_t close = text_.find(U'$', pos_ + 1);
  if (close == std::u32string_view::npos) {
    add_char(U'$');  // no partner: an ordinary character
    ++pos_;
    return;
  }
  trim_run_end();
  flush();
  items_.push_back(ast::make_char(U'$'));
  push_text_math_fragment_items(items_, text_.substr(pos_ + 1, close - pos_ - 1));
  items_.push_back(ast::make_char(U'$'));
  pos_ = close + 1;
}

std::optional<Expr> Scanner::scan_group(std::u32string_view group) {
  Result<Expr> scanned = parse_content(p_, group);
  if (!scanned.ok()) {
    result_ = std::move(scanned);
    return std::nullopt;
  }
  return std::move(scanned.value());
}

bool Scanner::scan_command() {
  const std::size_t start = pos_ + 1;
  std::size_t end = start;
  while (end < text_.size() && is_ascii_letter(text_[end])) ++end;
  if (end == start && end < text_.size()) ++end;  // one non-letter
  const std::u32string_view name = text_.substr(start, end - start);
  pos_ = end;
  // One-character names (escaped specials, accents) are told apart by that
  // character; only longer names are compared whole.
  if (name.size() == 1) {
    if (is_escaped_special(name)) {
      add_char(name.front());
      return true;
    }
    if (is_text_accent(name)) {
      if (scan_accent(name.front(), end)) return true;
      if (!result_.ok()) return false;
    }
  }
  if (const char32_t symbol = text_symbol(name)) {
    flush();
    items_.push_back(ast::make_char(symbol));
    return true;
  }
  if (name.size() > 1) {
    if (name == U"sout"sv) {
      std::size_t after = pos_;
      if (const std::optional<std::u32string_view> group = take_group(after)) {
        flush();
        items_.push_back(ast::make_raw("\\sout"));
        std::optional<Expr> scanned = scan_group(*group);
        if (!scanned) return false;
        for (Expr& item : scanned->as<ast::Sequence>().items) items_.push_back(std::move(item));
        pos_ = after;
        return true;
      }
    } else if (name == U"textcircled"sv) {
      scan_circled();
      return true;
    }
  }
  flush();
  items_.push_back(raw_backslash_name(name));
  return true;
}

bool Scanner::scan_accent(char32_t accent, std::size_t after_name) {
  std::size_t after = after_name;
  if (const std::optional<std::u32string_view> group = take_group(after)) {
    std::optional<Expr> scanned = scan_group(*group);
    if (!scanned) return false;
    flush();
    push_text_accent_items(items_, accent, std::move(*scanned));
    pos_ = after;
    return true;
  }
  // Without a group, the next character (after whitespace) is the argument.
  after = after_name;
  while (after < text_.size() && is_whitespace(text_[after])) ++after;
  if (after >= text_.size()) return false;
  std::string one;
  append_utf8(one, text_[after++]);
  flush();
  push_text_accent_items(items_, accent, ast::make_text(std::move(one)));
  pos_ = after;
  return true;
}

void Scanner::scan_circled() {
  flush();
  items_.push_back(ast::make_raw("\\textcircled"));
  std::size_t after = pos_;
  while (after < text_.size() && is_whitespace(text_[after])) ++after;
  if (after >= text_.size()) {
    pos_ = after;
    return;
  }
  std::size_t group_end = after;
  const std::optional<std::u32string_view> group = take_group(group_end);
  char32_t circled = 0;
  if (group && group->size() == 1) {
    circled = group->front();
    after = group_end;
  } else if (text_[after] != U'{') {
    circled = text_[after++];
  }
  pos_ = after;
  if (circled == 0) return;
  std::string one;
  append_utf8(one, circled);
  items_.push_back(ast::make_text(std::move(one)));
}

[[gnu::noinline]] Result<Expr> nesting_failure() { return nesting_error(); }

}  // namespace

Result<Expr> parse_content(Parser& p, std::u32string_view text) {
  // Groups inside text (\sout{...}, accents) scan recursively.
  Parser::NestingScope scope(p);
  if (scope.exceeded()) return nesting_failure();
  // On the heap: this frame sits once per level of nested groups.
  const ast::node_pool::PooledPtr<Scanner> scanner = ast::node_pool::make_pooled<Scanner>(p, text);
  return scanner->run();
}

void push_raw_backslash_items(ExprList& items, Expr&& piece, Expr&& argument) {
  items.push_back(ast::make_raw("\\"));
  items.push_back(std::move(piece));
  push_visible_items(items, std::move(argument));
}

Expr text_empty_base_superscript(Expr x) {
  return Expr(ast::Script{ast::box(Expr()), nullptr, ast::box(std::move(x))});
}

void push_text_accent_items(ExprList& items, char32_t accent, Expr&& argument) {
  switch (accent) {
    case U'"':
      // One raw piece, as the two would be joined anyway.
      items.push_back(ast::make_raw("\\\""));
      push_visible_items(items, std::move(argument));
      return;
    case U'\'':
      return push_raw_backslash_items(
          items, text_empty_base_superscript(Expr(ast::CommandSymbol{"prime", U'\u2032'})),
          std::move(argument));
    case U'.': return push_raw_backslash_items(items, ast::make_char(U'.'), std::move(argument));
    case U'=': return push_raw_backslash_items(items, ast::make_text("="), std::move(argument));
    case U'^':
      items.push_back(ast::make_raw("\\"));
      items.push_back(text_empty_base_superscript(ast::collapse_single_sequence(std::move(argument))));
      return;
    case U'~': return push_raw_backslash_items(items, ast::make_char(U'~'), std::move(argument));
    default: break;
  }
  std::string raw = "\\";
  append_utf8(raw, accent);
  items.push_back(ast::make_raw(std::move(raw)));
  push_visible_items(items, std::move(argument));
}

void push_text_math_fragment_items(ExprList& items, std::u32string_view chars) {
  std::string run;
  for (const char32_t c : chars) {
    if (c == U'<' || c == U'>' || c == U'?') {
      if (!run.empty()) items.push_back(ast::make_text(std::exchange(run, std::string())));
      items.push_back(ast::make_char(c));
    } else {
      append_utf8(run, c);
    }
  }
  if (!run.empty()) items.push_back(ast::make_text(std::move(run)));
}

}  // namespace quorvix::parser
