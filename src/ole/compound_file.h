// The OLE compound file that carries the framed equation stream.
#pragma once

#include <optional>

#include "common/bytes.h"
#include "common/result.h"

namespace quorvix::ole {

// Lays out the compound file around the framed "Equation Native" stream.
// `presentation` is an optional placeable metafile for the picture stream.
Result<Bytes> write_compound_file(const Bytes& native, const std::optional<Bytes>& presentation);

}  // namespace quorvix::ole
