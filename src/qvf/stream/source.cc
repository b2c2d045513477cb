#include "qvf/stream/source.h"

#include "quorvix_ansi/encode.h"
#include "qvf/stream/records.h"

namespace quorvix::qvf {

namespace {
constexpr std::string_view kSourceLanguage = "TeX Input Language";
// The payload around the encoded text: the language name and two NULs.
constexpr std::size_t kPayloadOverhead = kSourceLanguage.size() + 2;
constexpr std::size_t kMaxPayload = 0xFFFF;
}  // namespace

Status check_tex_source_fits(std::string_view text, const quorvix_ansi::SourceEncoding& encoding) {
  // No encoding makes a text longer than its UTF-8 bytes, so only a long
  // text needs encoding to tell.
  if (text.size() + kPayloadOverhead <= kMaxPayload) return {};
  Result<std::string> encoded = quorvix_ansi::encode_quorvix_text(text, encoding);
  if (!encoded.ok()) return {};
  Bytes scratch;
  return write_unsigned(kPayloadOverhead + encoded->size(), scratch);
}

Status write_tex_source_record(std::string_view text, const quorvix_ansi::SourceEncoding& encoding,
                               Bytes& out) {
  // UTF-8 text is its own encoding and is copied straight into the record.
  std::string converted;
  if (!encoding.is_utf8()) {
    QV_ASSIGN_OR_RETURN(converted, quorvix_ansi::encode_quorvix_text(text, encoding));
  }
  const std::string_view encoded = encoding.is_utf8() ? text : std::string_view(converted);
  const std::size_t payload_length = kPayloadOverhead + encoded.size();
  // An oversized payload leaves `out` as it was.
  const std::size_t start = out.size();
  out.push_back(tag::kTexSource);
  if (Status length = write_unsigned(payload_length, out); !length.ok()) {
    out.resize(start);
    return length;
  }
  out.reserve(out.size() + payload_length);
  append_bytes(out, kSourceLanguage);
  out.push_back(0);
  append_bytes(out, encoded);
  out.push_back(0);
  return {};
}

Status write_tex_source_record(std::string_view text, Bytes& out) {
  return write_tex_source_record(text, quorvix_ansi::SourceEncoding::from_environment(), out);
}

}  // namespace quorvix::qvf
