// The named colour table: colour name -> COLOR_DEF record (RGB, components
// 0..1000, little-endian). Sorted by name for lookup.
#include <algorithm>
#include <iterator>

#include "qvf/writer/colors.h"

namespace quorvix::qvf {

namespace {

struct NamedColor {
  std::string_view name;
  ColorDef def;
};

constexpr NamedColor kNamedColors[] = {
    {"black", {0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
    {"blue", {0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE8, 0x03}},
    {"green", {0x10, 0x00, 0x00, 0x00, 0xE8, 0x03, 0x00, 0x00}},
    {"purple", {0x10, 0x00, 0x26, 0x02, 0x8C, 0x00, 0xE8, 0x03}},
    {"red", {0x10, 0x00, 0xE8, 0x03, 0x00, 0x00, 0x00, 0x00}},
};

static_assert(std::is_sorted(std::begin(kNamedColors), std::end(kNamedColors),
                             [](const NamedColor& a, const NamedColor& b) { return a.name < b.name; }));

}  // namespace

const ColorDef* named_color_def(std::string_view name) {
  const auto* it = std::lower_bound(std::begin(kNamedColors), std::end(kNamedColors), name,
                                    [](const NamedColor& c, std::string_view n) { return c.name < n; });
  if (it == std::end(kNamedColors) || it->name != name) return nullptr;
  return &it->def;
}

}  // namespace quorvix::qvf
