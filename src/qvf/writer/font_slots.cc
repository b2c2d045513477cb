#include "qvf/writer/font_slots.h"

#include <bit>

#include "common/internal_error.h"

namespace quorvix::qvf {

namespace {

using F = OnDemandFont;

constexpr unsigned bit_of(F f) { return 1u << static_cast<unsigned>(f); }

// The two styles of the Calvane Math One font.
constexpr unsigned kMathOneStyles = bit_of(F::CalvaneMathOne) | bit_of(F::BoldCalvaneMathOne);
constexpr unsigned kCalvaneStyles = kMathOneStyles | bit_of(F::CalvaneMathTwo) | bit_of(F::CalvaneFraktur);
// The styles Arial is numbered after.
constexpr unsigned kRegularCalvaneStyles =
    bit_of(F::CalvaneMathOne) | bit_of(F::CalvaneMathTwo) | bit_of(F::CalvaneFraktur);

// The fixed block ends with encoding 6 and font 5.
constexpr std::uint8_t kFirstEncoding = 7;
constexpr std::uint8_t kLaterEncoding = 8;
constexpr std::uint8_t kFirstFont = 6;
constexpr std::uint8_t kLaterFont = 7;
constexpr std::uint8_t kLaterTypeface = 126;
constexpr std::uint8_t kArialEncoding = 5;   // the fixed block's basic code pages
constexpr std::uint8_t kTypewriterFont = 3;  // Courier New in the fixed block

}  // namespace

std::uint8_t FontSlots::count_defined(unsigned mask) const {
  return static_cast<std::uint8_t>(std::popcount(defined_ & mask));
}

FontAssignment FontSlots::define_calvane(OnDemandFont f) const {
  const bool math_one = (bit(f) & kMathOneStyles) != 0;
  const unsigned own_font = math_one ? kMathOneStyles : bit(f);
  FontAssignment a;
  if (math_one && any_defined(kMathOneStyles)) {
    // The other style of Math One is in the stream: only a style is added.
    a.font = math_one_font_;
  } else {
    const bool later = any_defined(kCalvaneStyles & ~own_font);
    a.new_font = true;
    a.encoding = later ? kLaterEncoding : kFirstEncoding;
    a.font = later ? kLaterFont : kFirstFont;
  }
  if (f == F::BoldCalvaneMathOne || defined(F::BoldCalvaneMathOne))
    a.typeface = static_cast<std::uint8_t>(kFirstTypeface - count_defined(kCalvaneStyles));
  else
    a.typeface = any_defined(kCalvaneStyles) ? kLaterTypeface : kFirstTypeface;
  return a;
}

FontAssignment FontSlots::define(OnDemandFont f) {
  if (defined(f)) internal_failure("internal error: on-demand font defined twice");
  FontAssignment a;
  switch (f) {
    case F::CalvaneMathOne:
    case F::BoldCalvaneMathOne:
    case F::CalvaneMathTwo:
    case F::CalvaneFraktur:
      a = define_calvane(f);
      if ((bit(f) & kMathOneStyles) != 0) math_one_font_ = a.font;
      break;
    case F::Arial: {
      const bool later = any_defined(kRegularCalvaneStyles);
      a = {true, kArialEncoding, later ? kLaterFont : kFirstFont, later ? kLaterTypeface : kFirstTypeface};
      break;
    }
    case F::Typewriter: a = {false, 0, kTypewriterFont, kFirstTypeface}; break;
  }
  defined_ |= bit(f);
  typeface_[static_cast<std::size_t>(f)] = a.typeface;
  return a;
}

}  // namespace quorvix::qvf
