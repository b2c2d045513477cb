// The limit modifier that \limits or \nolimits sets for the next script.
#pragma once

#include <cstdint>
#include <string_view>

namespace quorvix::parser {

enum class LimitModifier : std::uint8_t {
  Limits = 0,    // \limits: limits under and over the sign
  NoLimits = 1,  // \nolimits: limits beside the sign
  None = 2,      // no modifier given
};

// The command as written: "\limits" or "\nolimits" (empty for None).
constexpr std::string_view limit_modifier_command(LimitModifier modifier) {
  switch (modifier) {
    case LimitModifier::Limits: return "\\limits";
    case LimitModifier::NoLimits: return "\\nolimits";
    case LimitModifier::None: return "";
  }
  return "";
}

}  // namespace quorvix::parser
