// Lower-case hexadecimal encoding of byte buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/bytes.h"

namespace quorvix {

// Writes two lower-case digits per byte, high nibble first, to `out` and
// returns the position after the last digit. `out` must hold 2 * size chars.
char* write_hex(const std::uint8_t* data, std::size_t size, char* out) noexcept;

// The hex text of `bytes`; empty for an empty buffer.
std::string hex(const Bytes& bytes);

}  // namespace quorvix
