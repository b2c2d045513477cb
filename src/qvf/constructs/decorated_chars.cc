#include "qvf/constructs/decorated_chars.h"

#include "common/internal_error.h"
#include "qvf/tables/accent_marks.h"
#include "qvf/tables/chars.h"
#include "qvf/writer/predicates.h"

namespace quorvix::qvf {

using namespace ast;

std::optional<FontChar> single_font_char(const Expr& e) {
  const Expr& core = collapse_single_expr(e);
  if (const auto* c = core.get_if<Char>()) return FontChar{std::nullopt, c->ch};
  if (const auto* f = core.get_if<Font>(); f && f->body) {
    if (const auto* c = collapse_single_expr(*f->body).get_if<Char>()) return FontChar{f->font, c->ch};
  }
  return std::nullopt;
}

std::optional<char32_t> single_plain_char(const Expr& e) {
  const std::optional<FontChar> fc = single_font_char(e);
  if (!fc || fc->font) return std::nullopt;
  return fc->ch;
}

std::optional<std::vector<char32_t>> simple_char_run(const Expr& e) {
  const Expr& core = collapse_single_expr(e);
  if (const auto* c = core.get_if<Char>()) return std::vector<char32_t>{c->ch};
  const auto* s = core.get_if<Sequence>();
  if (s == nullptr || s->items.empty()) return std::nullopt;
  std::vector<char32_t> run;
  run.reserve(s->items.size());
  for (const Expr& item : s->items) {
    const auto* c = item.get_if<Char>();
    if (c == nullptr) return std::nullopt;
    run.push_back(c->ch);
  }
  return run;
}

Status write_char_with_codes(char32_t ch, std::span<const std::uint8_t> codes, Bytes& out,
                             QvfWriter& writer) {
  QV_ASSIGN_OR_RETURN(const CharStyle s, resolve_char_style(ch));
  write_styled_table_char_with_embellishments(s.typeface, s.code, s.has_position, s.position, s.font_selector,
                                              codes, out, writer);
  return {};
}

Status write_embellished_char(char32_t ch, std::span<const AccentKind> kinds, Bytes& out, QvfWriter& writer) {
  std::vector<std::uint8_t> codes;
  codes.reserve(kinds.size());
  for (const AccentKind k : kinds) {
    const std::optional<std::uint8_t> code = accent_embellishment_code(k);
    if (!code)
      internal_failure(
          "internal error: entered unreachable code: explicit accent templates do not use EMBELL records");
    codes.push_back(*code);
  }
  return write_char_with_codes(ch, codes, out, writer);
}

}  // namespace quorvix::qvf
