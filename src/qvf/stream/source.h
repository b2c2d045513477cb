// The TeX source record: the text an equation was made from, stored in the
// stream right after the header.
#pragma once

#include <string_view>

#include "common/bytes.h"
#include "common/result.h"
#include "quorvix_ansi/encode.h"

namespace quorvix::qvf {

// Appends tag 102, the payload length and the payload "TeX Input Language",
// NUL, the text encoded in `encoding`, NUL. On failure nothing is appended.
Status write_tex_source_record(std::string_view text, const quorvix_ansi::SourceEncoding& encoding,
                               Bytes& out);
// Fails with the record's own size message when `text`, encoded, cannot fit
// in a source record, so that a conversion can stop before parsing an input
// whose stream could never be written. Texts that fit, and texts the
// encoding rejects, pass (their failures come in the ordinary order).
Status check_tex_source_fits(std::string_view text, const quorvix_ansi::SourceEncoding& encoding);
// The same in the encoding the environment names at this moment.
Status write_tex_source_record(std::string_view text, Bytes& out);

}  // namespace quorvix::qvf
