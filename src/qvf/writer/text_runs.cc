// Text runs, raw TeX runs, function names and spaces.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "quorvix_ansi/encode.h"
#include "quorvix_ansi/unicode_text.h"
#include "qvf/stream/records.h"
#include "qvf/tables/chars.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

namespace {

constexpr std::uint8_t kTypefaceText = 129;      // text typeface (1 + 128)
constexpr std::uint8_t kTypefaceFunction = 130;  // function typeface (2 + 128)
constexpr std::uint8_t kTypefaceSpace = 0x98;    // spacing typeface (24 + 128)
constexpr std::uint8_t kFunctionStart = 0x02;    // CHAR option: first character of a function name

void write_char_record(std::uint8_t options, std::uint8_t typeface, std::uint16_t code, Bytes& out) {
  const std::uint8_t record[] = {tag::kChar, options, typeface, static_cast<std::uint8_t>(code & 0xFF),
                                 static_cast<std::uint8_t>(code >> 8)};
  const std::size_t at = out.size();
  out.resize(at + sizeof record);
  std::memcpy(out.data() + at, record, sizeof record);
}

// Function names written as two names with black selected between them.
struct TwoPartName {
  std::string_view name, first, second;
};
constexpr TwoPartName kTwoPartNames[] = {
    {"liminf", "lim", "inf"},
    {"limsup", "lim", "sup"},
    {"injlim", "lim", "inj"},
    {"projlim", "lim", "proj"},
};

}  // namespace

Status write_text_code_units(std::string_view text, std::uint8_t char_options, Bytes& out,
                             const quorvix_ansi::SourceEncoding& encoding) {
  for (std::size_t pos = 0; pos < text.size();) {
    const quorvix_ansi::Utf8Step step = quorvix_ansi::decode_utf8(text, pos);
    const char32_t c = step.code_point;
    const std::string_view bytes = text.substr(pos, step.length);
    pos += step.length;
    // Every supported encoding keeps ASCII as it is, so an ASCII character
    // never comes back as question marks it was not.
    if (char_options == 0 && (c >= 0x80 || !encoding.supported())) {
      QV_ASSIGN_OR_RETURN(std::string encoded, quorvix_ansi::encode_quorvix_text(bytes, encoding));
      // A character the source encoding cannot hold is shown as the question
      // marks the encoder produced for it.
      if (c != U'?' && !encoded.empty() &&
          std::all_of(encoded.begin(), encoded.end(), [](char b) { return b == '?'; })) {
        for (std::size_t i = 0; i < encoded.size(); ++i) write_char_record(0, kTypefaceText, u'?', out);
        continue;
      }
    }
    const std::uint8_t typeface =
        char_options == 0 && (c == U'?' || c == U'$') ? kTypefaceFunction : kTypefaceText;
    if (c > 0xFFFF) {
      const char32_t v = c - 0x10000;
      write_char_record(char_options, typeface, static_cast<std::uint16_t>(0xD800 + (v >> 10)), out);
      write_char_record(char_options, typeface, static_cast<std::uint16_t>(0xDC00 + (v & 0x3FF)), out);
    } else {
      write_char_record(char_options, typeface, static_cast<std::uint16_t>(c), out);
    }
  }
  return {};
}

Status write_function_name_chars(std::string_view name, Bytes& out) {
  bool first = true;
  for (std::size_t pos = 0; pos < name.size();) {
    const quorvix_ansi::Utf8Step step = quorvix_ansi::decode_utf8(name, pos);
    if (step.code_point > 0xFFFF)
      return make_error("function name character is outside BMP: " +
                        std::string(name.substr(pos, step.length)));
    pos += step.length;
    write_char_record(first ? kFunctionStart : 0, kTypefaceFunction,
                      static_cast<std::uint16_t>(step.code_point), out);
    first = false;
  }
  return {};
}

WriteResult write_function_name(std::string_view name, Bytes& out, SizeLevel size, QvfWriter& writer) {
  const auto* split = std::find_if(std::begin(kTwoPartNames), std::end(kTwoPartNames),
                                   [name](const TwoPartName& t) { return t.name == name; });
  if (split == std::end(kTwoPartNames)) {
    QV_RETURN_IF_ERROR(write_function_name_chars(name, out));
  } else {
    QV_RETURN_IF_ERROR(write_function_name_chars(split->first, out));
    select_black(out, writer);
    QV_RETURN_IF_ERROR(write_function_name_chars(split->second, out));
  }
  return WriteOutcome{true, size};
}

void write_space_without_color(std::uint8_t width, Bytes& out) {
  append_record(out, {tag::kChar, 0x00, kTypefaceSpace, width, 0xEF});
}

void write_only_spaces(const ast::Expr& expr, Bytes& out) {
  std::vector<const ast::Expr*> pending{&expr};
  while (!pending.empty()) {
    const ast::Expr* cur = pending.back();
    pending.pop_back();
    if (const auto* sp = cur->get_if<ast::Space>()) {
      write_space_without_color(sp->width, out);
    } else if (const auto* seq = cur->get_if<ast::Sequence>()) {
      for (auto it = seq->items.rbegin(); it != seq->items.rend(); ++it) pending.push_back(&*it);
    } else if (const auto* st = cur->get_if<ast::Style>(); st && st->body) {
      pending.push_back(st->body.get());
    } else {
      internal_failure("internal error: non-space expression in write_only_spaces");
    }
  }
}

}  // namespace quorvix::qvf
