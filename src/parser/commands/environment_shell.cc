// Environments the parser does not translate are kept as raw TeX around
// their visible body: raw \begin and \end pieces, the body parsed atom by
// atom, with `&` and the row breaks of a gather kept raw in between.
//
// Each such environment is open on both environment stacks while its body
// is read. An inner one that meets the \end of an enclosing one consumes it
// and records that environment as closed (Parser::closed_shell): every body
// from the inner one outwards stops there, and the one whose \end it was
// puts its end piece in place of it.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "parser/chars.h"
#include "parser/environments/environments.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

using ast::is_empty_sequence;

namespace {

using Mode = EnvironmentShellMode;

// The \begin or \end piece of an environment kept raw.
Expr environment_piece(std::string_view command, const std::string& name, Mode mode) {
  std::string raw = "\\";
  raw += command;
  switch (mode) {
    case Mode::BracedRaw: return ast::make_raw(raw + "{" + name + "}");
    case Mode::CommandName: return ast::make_raw(raw + name);
    case Mode::SpelledName: break;
  }
  ExprList letters;
  for (const char32_t c : decode_utf8(name)) letters.push_back(ast::make_char(c));
  ExprList items;
  items.push_back(ast::make_raw(std::move(raw)));
  items.push_back(ast::make_sequence(std::move(letters)));
  return ast::make_sequence(std::move(items));
}

// Whitespace in front of the first raw text of an atom: a RawTex, or the
// first item of a Sequence, looked into recursively.
void prefix_raw_leading_whitespace(Expr& atom, std::string_view ws) {
  if (ws.empty()) return;
  Expr* cur = &atom;
  for (;;) {
    if (auto* raw = cur->get_if<ast::RawTex>()) {
      raw->text.insert(0, ws);
      return;
    }
    auto* seq = cur->get_if<ast::Sequence>();
    if (seq == nullptr || seq->items.empty()) return;
    cur = &seq->items.front();
  }
}

bool control_word_at(std::u32string_view rest, std::u32string_view word) {
  return rest.substr(0, word.size()) == word &&
         (rest.size() == word.size() || !is_ascii_letter(rest[word.size()]));
}

// The body of one environment being copied. Kept off the recursive frames:
// the shell's own frame holds only a pointer to it.
class ShellBody {
 public:
  ShellBody(Parser& p, const std::string& name, Mode mode)
      : p_(p),
        name_(name),
        mode_(mode),
        end_text_(U"\\end{" + decode_utf8(name) + U"}"),
        gather_(name == "gather" || name == "gather*"),
        level_(p.shell_stack().own_size()) {
    items_.push_back(environment_piece("begin", name_, mode_));
    p_.environment_stack().push(name_);
    p_.shell_stack().push(name_);
  }
  ~ShellBody() {
    p_.shell_stack().pop();
    p_.environment_stack().pop();
  }
  ShellBody(const ShellBody&) = delete;
  ShellBody& operator=(const ShellBody&) = delete;

  // Reads what comes before the next atom (whitespace, `&`, row breaks,
  // \end pieces). True when an atom comes next; false when the body is over.
  [[gnu::noinline]] bool before_atom() {
    for (;;) {
      std::string ws = p_.consume_raw_whitespace();
      if (ws.empty()) ws = recover_environment_separator_prefix(p_);
      // The whitespace belongs to the piece read next, not to the next atom.
      p_.pending_space().clear();
      if (p_.at_end()) return false;
      const std::u32string_view rest = p_.chars().substr(p_.pos());
      if (rest.substr(0, end_text_.size()) == end_text_) {
        append_raw(std::move(ws));
        p_.set_pos(p_.pos() + end_text_.size());
        found_end_ = true;
        return false;
      }
      if (rest.front() == U'&') {
        p_.next_char();
        append_raw(ws + "&");
        continue;
      }
      if (rest.substr(0, 2) == U"\\\\") {
        p_.set_pos(p_.pos() + 2);
        if (gather_) append_raw(ws + "\\\\");
        continue;
      }
      if (control_word_at(rest, U"\\end")) {
        switch (read_other_end(ws)) {
          case EndRead::Continue: continue;
          case EndRead::Stop: return false;
          case EndRead::NotAnEnd: break;
        }
      }
      ws_ = std::move(ws);
      return true;
    }
  }

  // Takes the atom read after before_atom(). False when the body is over:
  // the atom failed or is the failure marker (see result_after()), or an
  // inner environment consumed the \end of this one or of an enclosing one.
  [[gnu::noinline]] bool take_atom(Result<Expr>& atom) {
    if (!atom.ok()) {
      ended_by_atom_ = true;
      return false;
    }
    if (ast::is_translation_failed_marker(atom.value())) {
      atom = ast::make_translation_failed();
      ended_by_atom_ = true;
      return false;
    }
    prefix_raw_leading_whitespace(atom.value(), ws_);
    if (!is_empty_sequence(atom.value())) items_.push_back(std::move(atom.value()));
    if (gather_ && p_.starts_with("\\\\")) {
      p_.set_pos(p_.pos() + 2);
      append_raw("\\\\");
    }
    const std::size_t closed = p_.closed_shell();
    if (closed == Parser::kNoClosedShell || closed > level_) return true;
    if (closed == level_) {
      p_.set_closed_shell(Parser::kNoClosedShell);
      found_end_ = true;
    }
    return false;
  }

  // True when the last atom is the result: its failure or the marker.
  bool ended_by_atom() const { return ended_by_atom_; }

  [[gnu::noinline]] Expr finish() {
    if (found_end_) items_.push_back(environment_piece("end", name_, mode_));
    return ast::make_sequence(std::move(items_));
  }

 private:
  enum class EndRead : std::uint8_t { Continue, Stop, NotAnEnd };

  void append_raw(std::string text) {
    if (!text.empty()) items_.push_back(ast::make_raw(std::move(text)));
  }

  // An \end whose name is not exactly this environment's closing. The
  // closing of an enclosing environment kept raw ends this body and the
  // ones between; any other name stays as an \end piece. Without a braced
  // name the \end is read as an ordinary atom.
  [[gnu::noinline]] EndRead read_other_end(const std::string& ws) {
    const std::size_t start = p_.pos();
    p_.set_pos(start + 4);  // `\end`
    Result<std::string> other = p_.parse_raw_group("mismatched environment end name");
    if (!other.ok()) {
      p_.set_pos(start);
      return EndRead::NotAnEnd;
    }
    append_raw(ws);
    const std::string& name = other.value();
    if (name == name_) {
      found_end_ = true;
      return EndRead::Stop;
    }
    for (std::size_t i = level_; i-- > 0;) {
      if (p_.shell_stack().own_name(i) == name) {
        p_.set_closed_shell(i);
        return EndRead::Stop;
      }
    }
    items_.push_back(environment_piece("end", name, shell_mode_of_name(name)));
    return EndRead::Continue;
  }

  Parser& p_;
  const std::string& name_;
  Mode mode_;
  std::u32string end_text_;
  bool gather_;
  std::size_t level_;  // this environment's index among the parser's own shells
  ExprList items_;
  std::string ws_;  // the whitespace in front of the atom being read
  bool found_end_ = false;
  bool ended_by_atom_ = false;
};

// Out of line, so that the body object and its temporaries stay off the
// frames of the recursion through the body's atoms.
[[gnu::noinline]] std::unique_ptr<ShellBody> open_shell(Parser& p, const std::string& name, Mode mode) {
  return std::make_unique<ShellBody>(p, name, mode);
}

[[gnu::noinline]] Result<Expr> finish_shell(ShellBody& body, Result<Expr>& last) {
  if (body.ended_by_atom()) return std::move(last);
  return body.finish();
}

}  // namespace

Result<Expr> Parser::parse_unsupported_environment_with_shell(const std::string& name,
                                                              EnvironmentShellMode mode) {
  const std::unique_ptr<ShellBody> body = open_shell(*this, name, mode);
  Result<Expr> atom = Expr();
  while (body->before_atom()) {
    atom = parse_complete_atom();
    if (!body->take_atom(atom)) break;
  }
  return finish_shell(*body, atom);
}

}  // namespace quorvix::parser
