// The script loop: an atom with the primes, subscripts, superscripts and
// limit modifiers written after it.
//
// parse_atom_with_scripts reads the base, the primes directly after it, then
// any run of `_`, `^`, \limits and \nolimits (each possibly after
// whitespace), and folds each script into the base with the rules of
// attach_parsed_script. A chain of scripts (x^a^b^c...) is folded in this
// loop, never by recursion. Scripts that cannot be attached structurally
// keep their markers as raw TeX (see raw_scripts.h).
#include <string>
#include <utility>

#include "parser/chars.h"
#include "parser/commands/scripts.h"
#include "parser/helpers.h"
#include "parser/parser.h"
#include "parser/raw_scripts.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

bool is_script_marker(std::optional<char32_t> c) { return c == U'_' || c == U'^'; }

// \limits or \nolimits as a whole control word comes next.
LimitModifier limit_modifier_ahead(const Parser& p) {
  const std::u32string_view rest = p.chars().substr(p.pos());
  // Most commands after an atom are neither: their second character tells.
  if (rest.size() < 2 || rest.front() != U'\\' || (rest[1] != U'l' && rest[1] != U'n'))
    return LimitModifier::None;
  auto word_is = [&](std::u32string_view word) {
    return rest.substr(0, word.size()) == word &&
           (rest.size() == word.size() || !is_ascii_letter(rest[word.size()]));
  };
  if (word_is(U"\\limits")) return LimitModifier::Limits;
  if (word_is(U"\\nolimits")) return LimitModifier::NoLimits;
  return LimitModifier::None;
}

// The node that a limit modifier would apply to: the last item of (nested)
// Sequences; nothing for an empty Sequence.
const Expr* last_node(const Expr& base) {
  const Expr* cur = &base;
  while (const auto* seq = cur->get_if<ast::Sequence>()) {
    if (seq->items.empty()) return nullptr;
    cur = &seq->items.back();
  }
  return cur;
}

// A node that takes a limit modifier: a big operator, limit, \mathop,
// integral, or the names lim and sup, that has no scripts yet.
bool takes_limit_modifier(const Expr* node) {
  if (node == nullptr || expr_has_attached_scripts(*node)) return false;
  if (const auto* name = node->get_if<ast::FunctionName>()) return name->name == "lim" || name->name == "sup";
  return node->is<ast::BigOperator>() || node->is<ast::Limit>() || node->is<ast::MathOp>() ||
         node->is<ast::IntegralSign>() || node->is<ast::Integral>();
}

bool is_char(const Expr& e, char32_t c) {
  const auto* ch = e.get_if<ast::Char>();
  return ch != nullptr && ch->ch == c;
}

// Attaches a parsed script argument to the base; the first rule that applies
// wins.
[[gnu::noinline]] Expr attach_parsed_script(Expr&& base, char marker, Expr&& argument,
                                            LimitModifier& modifier) {
  const std::string_view marker_text = marker == '_' ? "_" : "^";
  if (modifier != LimitModifier::None && !takes_limit_modifier(last_node(base))) {
    // The modifier has nothing to apply to: it stays raw with the script.
    const LimitModifier pending = std::exchange(modifier, LimitModifier::None);
    return raw_limits_script_suffix_expr(std::move(base), pending, marker_text, std::move(argument));
  }
  if (auto raw = raw_group_script_suffix_expr(base, marker_text, argument)) return std::move(*raw);
  if (auto raw = append_raw_script_followup(base, marker_text, argument)) return std::move(*raw);
  if (auto raw = delimited_bodyless_big_op_outer_script_expr(base, marker_text, argument))
    return std::move(*raw);
  if (is_char(argument, static_cast<char32_t>(marker))) {
    // `__` and `^^` are not scripts.
    return raw_script_suffix_expr(std::move(base), marker == '_' ? "__" : "^^");
  }
  const LimitModifier pending = std::exchange(modifier, LimitModifier::None);
  ast::Box script = ast::box(std::move(argument));
  if (marker == '_') return merge_script(std::move(base), std::move(script), nullptr, pending);
  return merge_script(std::move(base), nullptr, std::move(script), pending);
}

// The functions from here on run between the recursive calls of a script
// argument and keep their frames small: the tree-building temporaries sit in
// out-of-line helpers that return before any recursion, and a failure is
// stored in the atom's own result instead of in a local.

// The argument parsed (or failed): attached, or after a failure that is not
// fatal the marker kept raw, parsing resuming after it.
[[gnu::noinline]] void finish_script(Parser& p, Result<Expr>& atom, Result<Expr>& argument, char marker,
                                     LimitModifier& modifier, const Parser::Checkpoint& after_marker) {
  Expr& base = atom.value();
  if (argument.ok()) {
    base = attach_parsed_script(std::move(base), marker, std::move(argument.value()), modifier);
  } else if (!argument.error().fatal) {
    p.restore(after_marker);
    base = raw_script_suffix_expr(std::move(base), marker == '_' ? "_" : "^");
  } else {
    atom = std::move(argument).error();
  }
}

// Reads the argument of the script marker just consumed and attaches it.
[[gnu::noinline]] void read_script(Parser& p, Result<Expr>& atom, char marker, LimitModifier& modifier) {
  const Parser::Checkpoint after_marker = p.save();
  Result<Expr> argument = p.parse_script_arg();
  finish_script(p, atom, argument, marker, modifier, after_marker);
}

// The forms of a superscript group that keep their prime markers raw.
struct PrimeForm {
  enum Kind : std::uint8_t {
    NotPrime,   // an ordinary group: read as a script argument
    AllPrimes,  // '^{...} or '_{...} with only primes inside: all raw
    PrimeThen,  // '^{...} or '_{...}: the inner text is translated
    PrimeTail,  // ...^{...} ending in primes: the text before is translated
  } kind = NotPrime;
  std::size_t close = 0;           // the group's closing brace
  std::u32string_view content;     // between the group's braces
  std::u32string_view translated;  // the part parsed on its own
  std::size_t translated_start = 0;
};

// Looks at the `{` group after `^` (and whitespace) without reading it.
[[gnu::noinline]] PrimeForm find_prime_form(Parser& p) {
  PrimeForm form;
  std::size_t open = p.pos();
  const std::u32string_view chars = p.chars();
  while (open < chars.size() && is_whitespace(chars[open])) ++open;
  const std::optional<std::size_t> close = p.closing_brace(open);
  if (!close) return form;
  form.close = *close;
  form.content = chars.substr(open + 1, *close - open - 1);
  const std::u32string_view c = form.content;
  if (c.size() >= 4 && c[0] == U'\'' && (c[1] == U'^' || c[1] == U'_') && c[2] == U'{' && c.back() == U'}') {
    form.translated = c.substr(3, c.size() - 4);
    form.kind = is_raw_prime_script_group(form.translated) ? PrimeForm::AllPrimes : PrimeForm::PrimeThen;
  } else if (const auto tail = split_prime_superscript_tail(c)) {
    form.translated = tail->before;
    form.kind = PrimeForm::PrimeTail;
  }
  if (form.kind != PrimeForm::NotPrime)
    form.translated_start = static_cast<std::size_t>(form.translated.data() - chars.data());
  return form;
}

// The translated part read (or failed): the raw markers and braces around it.
[[gnu::noinline]] void finish_prime_form(Result<Expr>& atom, Result<Expr>& translated,
                                         const PrimeForm& form) {
  if (!translated.ok()) {
    atom = std::move(translated).error();
    return;
  }
  Expr& base = atom.value();
  std::string prefix = "^{";
  std::string suffix = "}";
  if (form.kind == PrimeForm::PrimeThen) {
    prefix += encode_utf8(form.content.substr(0, 3));
    suffix += '}';
  } else {
    suffix = "^{" + encode_utf8(split_prime_superscript_tail(form.content)->primes) + "}}";
  }
  base = raw_script_hybrid_suffix_expr(std::move(base), prefix, std::move(translated.value()), suffix);
}

[[gnu::noinline]] void keep_all_primes_raw(Result<Expr>& atom, const PrimeForm& form) {
  atom.value() = raw_superscript_suffix_expr(std::move(atom.value()), encode_utf8(form.content));
}

// A superscript group that holds a prime followed by a further script
// ('^{...} or '_{...}), or ends in a superscript of primes: the markers and
// braces are kept as raw text, the rest is translated on its own. False
// (nothing consumed) when the group is of neither form.
[[gnu::noinline]] bool read_prime_superscript(Parser& p, Result<Expr>& atom) {
  const PrimeForm form = find_prime_form(p);
  if (form.kind == PrimeForm::NotPrime) return false;
  p.set_pos(form.close + 1);
  if (form.kind == PrimeForm::AllPrimes) {
    keep_all_primes_raw(atom, form);
    return true;
  }
  // Translated as a text of its own, read in place.
  Result<Expr> translated =
      p.parse_text_range(form.translated_start, form.translated_start + form.translated.size());
  finish_prime_form(atom, translated, form);
  return true;
}

[[gnu::noinline]] void keep_raw_prime_marker(Expr& base) {
  base = raw_script_suffix_expr(std::move(base), "^'");
}

// The `^` just consumed and what follows it.
[[gnu::noinline]] void read_superscript(Parser& p, Result<Expr>& atom, LimitModifier& modifier) {
  if (p.peek() == U'\'') {
    p.next_char();
    keep_raw_prime_marker(atom.value());
  } else if (!read_prime_superscript(p, atom)) {
    read_script(p, atom, '^', modifier);
  }
}

// Apostrophes directly after the base or a script.
[[gnu::noinline]] void read_apostrophes(Parser& p, Expr& base) {
  while (p.peek() == U'\'') {
    p.next_char();
    base = append_postfix_prime(std::move(base));
  }
}

// Apostrophes directly after the base, then a bracket holding only primes.
[[gnu::noinline]] void read_postfix_primes(Parser& p, Expr& base) {
  read_apostrophes(p, base);
  if (p.peek() != U'[') return;
  const std::u32string_view rest = p.chars().substr(p.pos() + 1);
  const std::size_t close = rest.find_first_not_of(U"' ");
  if (close == std::u32string_view::npos || rest[close] != U']' ||
      !is_raw_prime_script_group(rest.substr(0, close)))
    return;
  p.set_pos(p.pos() + 1 + close + 1);
  Expr prime(ast::CommandSymbol{"prime", U'\u2032'});
  if (auto* seq = base.get_if<ast::Sequence>()) {
    seq->items.push_back(std::move(prime));
    return;
  }
  ExprList items;
  items.push_back(std::move(base));
  items.push_back(std::move(prime));
  base = ast::make_sequence(std::move(items));
}

// Whitespace after the atom and its scripts goes to the next atom as its
// leading space; in a gather row it stays in front of the row break instead.
[[gnu::noinline]] void keep_trailing_whitespace(Parser& p, std::size_t start) {
  if (start == p.pos()) return;
  const std::string* environment = p.environment_stack().innermost();
  if (p.starts_with("\\\\") && environment != nullptr &&
      (*environment == "gather" || *environment == "gather*")) {
    p.set_pos(start);
    return;
  }
  p.pending_space() += encode_utf8(p.chars().substr(start, p.pos() - start));
}

[[gnu::noinline]] void keep_pending_modifier(Expr& base, LimitModifier modifier) {
  if (modifier != LimitModifier::None) base = raw_limits_modifier_expr(std::move(base), modifier);
}

// The loop over the scripts after the base. The whitespace before each step
// is only skipped here; what the last step skipped without using is kept by
// keep_trailing_whitespace.
[[gnu::noinline]] void read_scripts(Parser& p, Result<Expr>& atom) {
  // Most atoms are followed by nothing the steps below react to (primes, a
  // bracket of primes, whitespace, a limit modifier or a script marker).
  if (const std::optional<char32_t> next = p.peek();
      !next ||
      !(*next == U'\'' || *next == U'[' || *next == U'\\' || is_script_marker(next) || is_whitespace(*next)))
    return;
  read_postfix_primes(p, atom.value());
  LimitModifier modifier = LimitModifier::None;
  std::size_t whitespace_start = p.pos();
  for (;;) {
    whitespace_start = p.pos();
    p.skip_ws();
    if (p.at_end()) break;
    if (const LimitModifier ahead = limit_modifier_ahead(p); ahead != LimitModifier::None) {
      p.set_pos(p.pos() + limit_modifier_command(ahead).size());
      modifier = ahead;
      continue;
    }
    const std::optional<char32_t> c = p.peek();
    if (!is_script_marker(c)) break;
    p.next_char();
    if (c == U'_') {
      read_script(p, atom, '_', modifier);
    } else {
      read_superscript(p, atom, modifier);
    }
    if (!atom.ok()) return;
    read_apostrophes(p, atom.value());
  }
  keep_pending_modifier(atom.value(), modifier);
  keep_trailing_whitespace(p, whitespace_start);
}

[[gnu::noinline]] Result<Expr> empty_base() { return Expr(); }

[[gnu::noinline]] void collapse_group(Result<Expr>& group) {
  if (group.ok()) group.value() = ast::collapse_single_sequence(std::move(group.value()));
}

[[gnu::noinline]] Result<Expr> nesting_failure() { return nesting_error(); }

// A `{` group read as a script argument (a one-item group gives its item).
[[gnu::noinline]] Result<Expr> parse_script_group(Parser& p) {
  p.next_char();  // the `{`
  // Read here rather than by parse_atom, so the group holds its own nesting
  // level. It is the same attempt as a `{` atom at this position: when it
  // fails, the `{` read again as an atom fails at once.
  const Parser::NestingScope scope(p);
  Result<Expr> group = scope.exceeded()
                           ? nesting_failure()
                           : p.attempt_once(Construct::BraceGroup, [&] { return p.parse_sequence(U'}'); });
  collapse_group(group);
  return group;
}

}  // namespace

Result<Expr> Parser::parse_atom_with_scripts() {
  // One named result, returned in place: this frame stays on the stack once
  // per nesting level.
  Result<Expr> result = is_script_marker(peek()) ? empty_base() : parse_atom();
  if (result.ok()) read_scripts(*this, result);
  return result;
}

Result<Expr> Parser::parse_script_arg() {
  skip_ws();
  return peek() == U'{' ? parse_script_group(*this) : parse_atom();
}

}  // namespace quorvix::parser
