// Fractions: the display form, whose numerator and denominator keep the
// size of the fraction, and the text-style form one size smaller.
#include "qvf/constructs/script_layout.h"
#include "qvf/constructs/template_layout.h"
#include "qvf/constructs/templates.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

// Numerator and denominator lines at `level`, the template's END after them.
// Both slots start in the default colour; the denominator needs COLOR 0 of
// its own only when black may be in force after the numerator, which a
// numerator that ends at its own level always leaves.
[[gnu::noinline]] WriteResult write_fraction_slots(const Expr& numerator, const Expr& denominator, Bytes& out,
                                                   SizeLevel level, QvfWriter& w) {
  color_default(out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome num, write_line(numerator, out, level, w));
  const bool black = restore_level(num, level, out) ? num.black_in_force : true;
  if (black) color_default(out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome den, write_line(denominator, out, level, w));
  out.push_back(tag::kEnd);
  return den;
}

}  // namespace

WriteResult write_fraction_node(const Fraction& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  write_template_record(template_selector::kFraction, 0x00, out);
  return write_fraction_slots(required(node.numerator), required(node.denominator), out, size, writer);
}

WriteResult write_textstyle_fraction(const Expr& numerator, const Expr& denominator, Bytes& out,
                                     SizeLevel size, bool restore, QvfWriter& writer) {
  const SizeLevel level = script_level(size);
  select_black(out, writer);
  write_template_record(template_selector::kFraction, 0x01, out);
  write_size_record(level, out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome den,
                      write_fraction_slots(numerator, denominator, out, level, writer));
  // The caller continues at full size unless it restores the size itself;
  // at script sizes the sub-subscript level stays selected.
  if (restore) return WriteOutcome{den.black_in_force, size};
  if (size == SizeLevel::Full) {
    write_size_record(SizeLevel::Full, out);
    return WriteOutcome{den.black_in_force, SizeLevel::Full};
  }
  return WriteOutcome{den.black_in_force, SizeLevel::SubSubscript};
}

}  // namespace quorvix::qvf
