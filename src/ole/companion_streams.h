// The fixed contents of the "\x01Ole" and "\x01CompObj" streams that accompany
// "Equation Native", and the class identifier of the equation object.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quorvix::ole {

// {0004A2B7-0000-0000-C000-000000000046} in the mixed-endian GUID layout.
inline constexpr std::array<std::uint8_t, 16> kEquationClassId = {
    0xB7, 0xA2, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// "\x01Ole": version 0x02000001, flags 8, then twelve zero bytes.
inline constexpr std::array<std::uint8_t, 20> kOleStream = {0x01, 0x00, 0x00, 0x02, 0x08, 0x00, 0x00,
                                                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

inline constexpr std::size_t kCompObjSize = 103;

// The "\x01CompObj" record: class identifier, user type, clipboard format and
// program identifier of the equation object.
extern const std::array<std::uint8_t, kCompObjSize> kCompObjStream;

}  // namespace quorvix::ole
