// The chemistry and physics shorthands through the C entry wherever they
// stand: raw command words next to visible bodies, cells and scripts decode
// as complete streams.
#include <gtest/gtest.h>

#include "decodes_everywhere.h"
#include "support/source_encoding.h"

namespace quorvix::tools {
namespace {

using test_support::ScopedSourceEncoding;

TEST(PhysicsStreams, EveryFamilyFromTheTextDecodesCompletely) {
  ScopedSourceEncoding utf8(nullptr);
  const char* const texts[] = {
      "\\ce{H2O}",
      "\\ce{^{14}_{6}C}",
      "\\ce{^14_6C}",
      "\\ce",
      "\\qty(a+b)",
      "\\qty\\big{}[x]",
      "\\qty",
      "\\abs*{x}",
      "\\norm\\Big|v|",
      "\\abs x",
      "\\comm{A}{B}",
      "\\poissonbracket*(f)g",
      "\\pmqty{a & b \\\\ c & d}",
      "\\bmqty*(a\\\\b)",
      "\\vmqty|a&b|",
      "\\mqty x",
      "\\mqty{}",
      "\\dmat",
      "\\xmat{a}{2}{3}",
      "\\zmat*{}{}",
      "\\cases{a & b \\\\ c}",
  };
  expect_decodes_everywhere(texts);
}

}  // namespace
}  // namespace quorvix::tools
