// Small text helpers of the record inspector: hex numbers, quoted byte
// strings and the display of 16-bit character codes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quorvix::tools {

// "0x0B": two hex digits with the 0x prefix.
std::string hex_byte(std::uint8_t value);
// "0x0109": at least four hex digits with the 0x prefix.
std::string hex_offset(std::size_t value);

// Bytes in double quotes: valid UTF-8 passes through, quotes and backslashes
// are escaped, control characters and invalid bytes become \n, \t or \xNN.
std::string quote_bytes(std::span<const std::uint8_t> bytes);
std::string quote_text(std::string_view text);

// "U+0078 'x'", "U+F080 (private use)", "U+0302 '◌̂'" (combining marks on a
// dotted circle), "U+000A (control)".
std::string describe_code(std::uint16_t code);

}  // namespace quorvix::tools
