#include "ole/companion_streams.h"

#include <string_view>

namespace quorvix::ole {
namespace {

class Builder {
 public:
  constexpr void bytes(std::initializer_list<std::uint8_t> bs) {
    for (std::uint8_t b : bs) out_[n_++] = b;
  }
  constexpr void u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out_[n_++] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
  }
  // A 32-bit length that counts the terminating NUL, the text, the NUL.
  constexpr void counted_text(std::string_view s) {
    u32(static_cast<std::uint32_t>(s.size() + 1));
    for (char c : s) out_[n_++] = static_cast<std::uint8_t>(c);
    out_[n_++] = 0;
  }
  constexpr std::array<std::uint8_t, kCompObjSize> finish() const {
    // An overrun would already have failed constant evaluation; a shortfall fails it here.
    if (n_ != kCompObjSize) throw "CompObj record size mismatch";
    return out_;
  }

  std::array<std::uint8_t, kCompObjSize> out_{};
  std::size_t n_ = 0;
};

constexpr std::array<std::uint8_t, kCompObjSize> make_comp_obj() {
  Builder b;
  b.bytes({0x01, 0x00});              // reserved
  b.bytes({0xFE, 0xFF});              // byte order
  b.bytes({0x03, 0x0A, 0x00, 0x00});  // version
  b.u32(0xFFFFFFFF);                  // reserved
  for (std::uint8_t x : kEquationClassId) b.bytes({x});
  b.counted_text("Quorvix 7.0 Equation");  // user type
  b.counted_text("Quorvix EF");            // clipboard format
  b.counted_text("Equation.QRVX4");        // program identifier
  b.u32(0x71B239F4);                       // Unicode marker
  b.u32(0);                                // three empty Unicode strings
  b.u32(0);
  b.u32(0);
  return b.finish();
}

}  // namespace

constexpr std::array<std::uint8_t, kCompObjSize> kCompObjStreamValue = make_comp_obj();
const std::array<std::uint8_t, kCompObjSize> kCompObjStream = kCompObjStreamValue;

}  // namespace quorvix::ole
