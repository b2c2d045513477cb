#include "quorvix/qvf_names.h"

#include <cstdio>

namespace quorvix::tools {

namespace {

constexpr std::string_view kFenceSlots[] = {"body"};
constexpr std::string_view kBarAngleSlots[] = {"empty slot", "body"};
constexpr std::string_view kRootSlots[] = {"radicand", "index"};
constexpr std::string_view kFractionSlots[] = {"numerator", "denominator"};
constexpr std::string_view kBodySlots[] = {"body"};
constexpr std::string_view kArrowSlots[] = {"upper label", "lower label"};
constexpr std::string_view kIntegralSlots[] = {"operand", "lower limit", "upper limit"};
constexpr std::string_view kBigOpSlots[] = {"operand", "lower limit", "upper limit", "operator"};
constexpr std::string_view kLimitSlots[] = {"base", "lower", "upper"};
constexpr std::string_view kBraceSlots[] = {"body", "label"};
constexpr std::string_view kScriptSlots[] = {"subscript", "superscript"};

// Variation bits that mean the same across the big-operator and limit
// templates: which of the limit slots are in use.
void append_limit_bits(std::uint8_t variation, std::string& out) {
  auto add = [&out](std::string_view s) {
    if (!out.empty()) out += ", ";
    out += s;
  };
  if (variation & 0x10) add("lower");
  if (variation & 0x20) add("upper");
  if (variation & 0x40) add("limits over and under");
}

std::string unknown_bits(std::uint8_t bits) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "unknown bits 0x%02X", bits);
  return buf;
}

void join(std::string& out, std::string_view s) {
  if (!out.empty()) out += ", ";
  out += s;
}

}  // namespace

std::string_view record_tag_name(std::uint8_t tag) {
  switch (tag) {
    case 0: return "END";
    case 1: return "LINE";
    case 2: return "CHAR";
    case 3: return "TMPL";
    case 4: return "PILE";
    case 5: return "MATRIX";
    case 6: return "EMBELL";
    case 7: return "RULER";
    case 8: return "FONT_STYLE_DEF";
    case 9: return "SIZE";
    case 10: return "FULL";
    case 11: return "SUB";
    case 12: return "SUB2";
    case 13: return "SYM";
    case 14: return "SUBSYM";
    case 15: return "COLOR";
    case 16: return "COLOR_DEF";
    case 17: return "FONT_DEF";
    case 18: return "EQN_PREFS";
    case 19: return "ENCODING_DEF";
    case 102: return "TEX_SOURCE";
    default: return {};
  }
}

TemplateDescription describe_template(std::uint8_t selector, std::uint8_t variation) {
  TemplateDescription d;
  std::string& v = d.variation;
  switch (selector) {
    case 0x00:
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x06:
    case 0x07: {
      static constexpr std::string_view kFences[] = {
          "angle brackets", "parentheses", "braces",         "brackets",
          "bars",           "double bars", "floor brackets", "ceiling brackets"};
      d.name = std::string(kFences[selector]);
      switch (variation) {
        case 1: v = "left fence only"; break;
        case 2: v = "right fence only"; break;
        case 3: v = "both fences"; break;
        default: break;
      }
      d.slots = kFenceSlots;
      return d;
    }
    case 0x0A:
      d.name = "radical";
      if (variation == 0) v = "square root";
      if (variation == 1) v = "root with index";
      d.slots = kRootSlots;
      return d;
    case 0x0B:
      d.name = "fraction";
      if (variation == 0) v = "full size";
      if (variation == 1) v = "text style";
      d.slots = kFractionSlots;
      return d;
    case 0x0C:
    case 0x0D:
      d.name = selector == 0x0C ? "underbar" : "overbar";
      d.slots = kBodySlots;
      return d;
    case 0x0E: {
      d.name = "extensible arrow";
      if (variation & 0x10) join(v, "pointing left");
      if (variation & 0x20) join(v, "pointing right");
      if (variation & 0x04) join(v, "upper label");
      if (variation & 0x08) join(v, "lower label");
      if (const auto rest = static_cast<std::uint8_t>(variation & ~0x3C); rest != 0)
        join(v, unknown_bits(rest));
      d.slots = kArrowSlots;
      return d;
    }
    case 0x0F: {
      d.name = "integral";
      switch (variation & 0x0F) {
        case 1: v = "single"; break;
        case 2: v = "double"; break;
        case 3: v = "triple"; break;
        case 5: v = "contour"; break;
        default: v = unknown_bits(variation & 0x0F); break;
      }
      if (variation & 0x10) join(v, "with limits");
      if (std::uint8_t rest = variation & 0xE0; rest != 0) join(v, unknown_bits(rest));
      d.slots = kIntegralSlots;
      return d;
    }
    case 0x10:
    case 0x11:
    case 0x12:
    case 0x13:
    case 0x14:
    case 0x15:
    case 0x16: {
      static constexpr std::string_view kOps[] = {"sum",
                                                  "product",
                                                  "coproduct",
                                                  "union",
                                                  "intersection",
                                                  "big operator with limits at the side",
                                                  "big operator with limits over and under"};
      d.name = std::string(kOps[selector - 0x10]);
      append_limit_bits(variation, v);
      if (std::uint8_t rest = variation & 0x8F; rest != 0) join(v, unknown_bits(rest));
      d.slots = kBigOpSlots;
      return d;
    }
    case 0x17:
      d.name = "limit";
      append_limit_bits(variation & 0x30, v);
      if (std::uint8_t rest = variation & 0xCF; rest != 0) join(v, unknown_bits(rest));
      d.slots = kLimitSlots;
      return d;
    case 0x18:
      d.name = "horizontal brace";
      if (variation == 0) v = "under";
      if (variation == 1) v = "over";
      d.slots = kBraceSlots;
      return d;
    case 0x1B:
      d.name = "subscript";
      d.slots = kScriptSlots;
      return d;
    case 0x1C:
      d.name = "superscript";
      d.slots = kScriptSlots;
      return d;
    case 0x1D:
      d.name = "subscript and superscript";
      d.slots = kScriptSlots;
      return d;
    case 0x1E:
      d.name = "bar and angle bracket fences";
      d.slots = kBarAngleSlots;
      return d;
    case 0x1F: {
      d.name = "arrow accent";
      static constexpr std::string_view kDirections[] = {"", "left", "right", "both ways"};
      if ((variation & 0x03) != 0) v = std::string(kDirections[variation & 0x03]);
      join(v, (variation & 0x04) ? "under" : "over");
      if (std::uint8_t rest = variation & 0xF8; rest != 0) join(v, unknown_bits(rest));
      d.slots = kBodySlots;
      return d;
    }
    case 0x21:
      d.name = "wide hat";
      d.slots = kBodySlots;
      return d;
    case 0x24:
      d.name = "strike-out";
      if (variation & 0x01) join(v, "horizontal");
      if (variation & 0x02) join(v, "rising diagonal");
      if (variation & 0x04) join(v, "falling diagonal");
      if (std::uint8_t rest = variation & 0xF8; rest != 0) join(v, unknown_bits(rest));
      d.slots = kBodySlots;
      return d;
    default: d.name = "unknown template"; return d;
  }
}

std::string_view embellishment_name(std::uint8_t code) {
  switch (code) {
    case 2: return "dot";
    case 3: return "double dot";
    case 4: return "triple dot";
    case 5: return "prime";
    case 6: return "double prime";
    case 8: return "tilde";
    case 9: return "hat";
    case 10: return "not (stroke)";
    case 11: return "right arrow";
    case 12: return "left arrow";
    case 13: return "double-headed arrow";
    case 17: return "bar";
    case 20: return "breve";
    case 24: return "quadruple dot";
    case 29: return "under bar";
    case 30: return "under tilde";
    default: return {};
  }
}

std::string_view size_record_meaning(std::uint8_t tag) {
  switch (tag) {
    case 10: return "full size";
    case 11: return "subscript size";
    case 12: return "sub-subscript size";
    case 13: return "symbol size";
    case 14: return "sub-symbol size";
    default: return {};
  }
}

std::string_view dimension_unit_name(unsigned code) {
  switch (code) {
    case 0: return "in";
    case 1: return "cm";
    case 2: return "pt";
    case 3: return "pc";
    case 4: return "%";
    default: return {};
  }
}

std::string character_style_name(std::uint8_t style) {
  std::string out;
  if (style & 0x01) out = "bold";
  if (style & 0x02) out += out.empty() ? "italic" : " italic";
  if (out.empty()) out = "regular";
  if (std::uint8_t rest = style & 0xFC; rest != 0) out += ", " + unknown_bits(rest);
  return out;
}

std::string_view known_colour_name(std::uint16_t red, std::uint16_t green, std::uint16_t blue) {
  struct Named {
    std::uint16_t r, g, b;
    std::string_view name;
  };
  static constexpr Named kColours[] = {{0, 0, 0, "black"},
                                       {0, 0, 1000, "blue"},
                                       {0, 1000, 0, "green"},
                                       {1000, 0, 0, "red"},
                                       {0x226, 0x8C, 1000, "purple"}};
  for (const Named& c : kColours) {
    if (c.r == red && c.g == green && c.b == blue) return c.name;
  }
  return {};
}

}  // namespace quorvix::tools
