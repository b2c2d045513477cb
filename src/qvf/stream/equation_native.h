// The 28-byte header that frames a QVF stream as the "Equation Native" stream
// of the compound file. `write_equation_native` (stream.h) is the entry.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "common/result.h"

namespace quorvix::qvf {

inline constexpr std::size_t kEquationNativeHeaderSize = 28;

using EquationNativeHeader = std::array<std::uint8_t, kEquationNativeHeaderSize>;

// The framing header for a stream of `stream_length` bytes. The length field
// is 32 bits wide, so streams of 2^32 bytes or more fail with
// "QVF stream is too large".
Result<EquationNativeHeader> equation_native_header(std::uint64_t stream_length);

// The same header written into `header` in place, every byte of it: a header
// built and then copied out would be read back, wide, right after being
// stored byte by byte, which costs more than the building.
Status fill_equation_native_header(std::uint64_t stream_length, EquationNativeHeader& header);

}  // namespace quorvix::qvf
