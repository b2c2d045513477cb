// The legacy text encoder: UTF-8 text to the byte encoding chosen by the
// QUORVIX_SOURCE_ENCODING environment variable.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/result.h"

namespace quorvix::quorvix_ansi {

// The byte encoding of stored TeX text, as chosen by the variable. A
// conversion reads the variable once, at its start, and hands the choice to
// every stage that encodes text. An unsupported value is kept as the failure
// it causes: every encoding attempt returns it, so a conversion that never
// encodes anything does not fail because of it. Copies are cheap (no
// allocation), so stages and sub-parsers hold their own copy.
class SourceEncoding {
 public:
  // UTF-8, as when the variable is unset.
  SourceEncoding() = default;

  // Reads the variable now.
  static SourceEncoding from_environment();
  // The encoding a value of the variable selects; null stands for unset.
  static SourceEncoding from_value(const char* value);

  // False for an unsupported value.
  bool supported() const { return unsupported_ == nullptr; }
  // True when text is stored as the UTF-8 it already is.
  bool is_utf8() const { return kind_ == Kind::kUtf8; }

 private:
  enum class Kind : std::uint8_t { kUtf8, kGbk, kWindows1252, kUnsupported };

  friend Result<std::string> encode_quorvix_text(std::string_view text, const SourceEncoding& encoding);

  Kind kind_ = Kind::kUtf8;
  // The failure message of an unsupported value; null otherwise.
  std::shared_ptr<const std::string> unsupported_;
};

// Encodes UTF-8 `text` in `encoding`.
Result<std::string> encode_quorvix_text(std::string_view text, const SourceEncoding& encoding);

// Encodes UTF-8 `text` in the encoding the variable names at this moment
// (read on every call). For one-off encodings; a conversion passes the
// encoding it chose at its start instead.
Result<std::string> encode_quorvix_text(std::string_view text);

}  // namespace quorvix::quorvix_ansi
