#include "quorvix_ansi/encode.h"

namespace quorvix::quorvix_ansi {

// Placeholder until the ICU-backed encoders land: the text's own bytes.
Result<std::string> encode_quorvix_text(std::string_view text) { return std::string(text); }

}  // namespace quorvix::quorvix_ansi
