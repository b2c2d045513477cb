#include "ffi/convert.h"

#include <utility>

#include "ast/expr.h"
#include "common/spare_buffer.h"
#include "ffi/request.h"
#include "ole/compound_file.h"
#include "parser/parser.h"
#include "quorvix_ansi/encode.h"
#include "qvf/stream/equation_native.h"
#include "qvf/stream/source.h"
#include "qvf/stream/stream.h"

namespace quorvix::ffi {

Result<conversion::EncodedEquation> convert_latex(std::string_view latex,
                                                  const std::optional<std::string>& prefs_file,
                                                  ConversionReport* report) {
  conversion::EncodedEquation equation;
  equation.normalized_latex = parser::normalize_latex(latex, SpareNormalizedText::take());
  // The environment is read once; parser and writer encode with this choice.
  const quorvix_ansi::SourceEncoding encoding = quorvix_ansi::SourceEncoding::from_environment();
  // A source too long for its record fails the conversion whatever the tree
  // would be; finding that out first spares parsing and writing it.
  QV_RETURN_IF_ERROR(qvf::check_tex_source_fits(equation.normalized_latex, encoding));
  {
    QV_ASSIGN_OR_RETURN(ast::Expr tree, parser::Parser(equation.normalized_latex, encoding).parse());
    if (report != nullptr) report->keeps_raw_tex = ast::contains_raw_tex(tree);
    QV_ASSIGN_OR_RETURN(equation.qvf,
                        qvf::write_qvf_with_prefs(equation.normalized_latex, tree, prefs_file, encoding));
    // The stream goes into the compound file behind its framing header
    // without a framed copy of its own; the tree is released at the end of
    // this block, once the compound file exists.
    QV_ASSIGN_OR_RETURN(const qvf::EquationNativeHeader header,
                        qvf::equation_native_header(equation.qvf.size()));
    QV_ASSIGN_OR_RETURN(equation.ole, ole::write_compound_file(header, equation.qvf, std::nullopt));
  }
  return equation;
}

Result<conversion::EncodedEquation> convert_request(const char* request) {
  QV_ASSIGN_OR_RETURN(Request parsed, read_request(request));
  Result<conversion::EncodedEquation> converted = convert_latex(parsed.latex, parsed.prefs_file);
  SpareRequestText::give_back(parsed.latex);
  return converted;
}

void recycle(conversion::EncodedEquation& equation) noexcept {
  SpareNormalizedText::give_back(equation.normalized_latex);
  SpareQvfStream::give_back(equation.qvf);
  SpareCompoundFile::give_back(equation.ole);
}

}  // namespace quorvix::ffi
