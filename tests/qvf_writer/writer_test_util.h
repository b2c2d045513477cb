// Helpers for writer tests: hex byte strings, tree builders and a scoped
// QUORVIX_SOURCE_ENCODING.
#pragma once

#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ast/expr.h"
#include "common/bytes.h"

namespace quorvix::qvf::test {

// "02 00 83" -> {0x02, 0x00, 0x83}; a quoted run "abc" stands for its ASCII bytes.
inline Bytes hx(std::string_view s) {
  Bytes out;
  for (std::size_t i = 0; i < s.size();) {
    const char c = s[i];
    if (c == ' ' || c == '\n') {
      ++i;
    } else if (c == '"') {
      const std::size_t end = s.find('"', i + 1);
      for (std::size_t j = i + 1; j < end; ++j) out.push_back(static_cast<std::uint8_t>(s[j]));
      i = end + 1;
    } else {
      out.push_back(static_cast<std::uint8_t>(std::stoi(std::string(s.substr(i, 2)), nullptr, 16)));
      i += 2;
    }
  }
  return out;
}

inline std::string hex(const Bytes& b) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string s;
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (i > 0) s.push_back(' ');
    s.push_back(kDigits[b[i] >> 4]);
    s.push_back(kDigits[b[i] & 0xF]);
  }
  return s;
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

inline std::size_t count_occurrences(const Bytes& hay, const Bytes& needle) {
  std::size_t n = 0;
  for (std::size_t i = 0; i + needle.size() <= hay.size(); ++i)
    if (std::equal(needle.begin(), needle.end(), hay.begin() + static_cast<std::ptrdiff_t>(i))) ++n;
  return n;
}

// Tree builders.
inline ast::Expr ch(char32_t c) { return ast::make_char(c); }
inline ast::Expr seq(std::vector<ast::Expr> items) { return ast::make_sequence(std::move(items)); }
inline ast::Expr raw(std::string t) { return ast::make_raw(std::move(t)); }
inline ast::Expr text(std::string t) { return ast::make_text(std::move(t)); }
inline ast::Expr space(std::uint8_t w) { return ast::Expr(ast::Space{w}); }
inline ast::Expr fn(std::string name) { return ast::Expr(ast::FunctionName{std::move(name)}); }
inline ast::Expr sized(char32_t c) { return ast::Expr(ast::SizedDelimiter{c}); }
inline ast::Expr color(std::string name, ast::Expr body) {
  return ast::Expr(ast::Color{std::move(name), ast::box(std::move(body))});
}
inline ast::Expr style(ast::StyleKind k, ast::Expr body) {
  return ast::Expr(ast::Style{ast::box(std::move(body)), k});
}
inline ast::Expr group(ast::Expr body) { return ast::Expr(ast::Group{ast::box(std::move(body))}); }
inline ast::Expr font(ast::FontKind k, ast::Expr body) {
  return ast::Expr(ast::Font{ast::box(std::move(body)), k});
}
inline ast::Expr script(ast::Expr base, std::optional<ast::Expr> sub, std::optional<ast::Expr> sup) {
  ast::Script s;
  s.base = ast::box(std::move(base));
  if (sub) s.sub = ast::box(std::move(*sub));
  if (sup) s.sup = ast::box(std::move(*sup));
  return ast::Expr(std::move(s));
}

// A Hybrid from raw pieces (strings) and visible expressions.
struct HybridPiece {
  HybridPiece(const char* raw_text) : raw(raw_text) {}  // NOLINT
  HybridPiece(ast::Expr e) : visible(std::move(e)) {}   // NOLINT
  std::optional<std::string> raw;
  std::optional<ast::Expr> visible;
};
[[gnu::noinline]] inline ast::Expr hybrid(std::vector<HybridPiece> pieces) {
  std::vector<ast::HybridPart> parts;
  parts.reserve(pieces.size());
  for (HybridPiece& p : pieces) {
    if (p.raw)
      parts.emplace_back(std::in_place_type<ast::HybridRaw>, ast::HybridRaw{*p.raw});
    else
      parts.emplace_back(std::in_place_type<ast::HybridVisible>,
                         ast::HybridVisible{ast::box(std::move(*p.visible))});
  }
  return ast::Expr(ast::Hybrid{std::move(parts)});
}

// Sets QUORVIX_SOURCE_ENCODING (or unsets it) for the lifetime of the object.
class ScopedEncoding {
 public:
  explicit ScopedEncoding(const char* value) {
    if (const char* old = std::getenv(kName)) saved_ = old;
    if (value != nullptr)
      ::setenv(kName, value, 1);
    else
      ::unsetenv(kName);
  }
  ~ScopedEncoding() {
    if (saved_)
      ::setenv(kName, saved_->c_str(), 1);
    else
      ::unsetenv(kName);
  }
  ScopedEncoding(const ScopedEncoding&) = delete;
  ScopedEncoding& operator=(const ScopedEncoding&) = delete;

 private:
  static constexpr const char* kName = "QUORVIX_SOURCE_ENCODING";
  std::optional<std::string> saved_;
};

}  // namespace quorvix::qvf::test
