#include "ffi/convert.h"

#include <cstdint>
#include <utility>

#include "ast/expr.h"
#include "ast/node_pool.h"
#include "common/spare_buffer.h"
#include "ffi/request.h"
#include "ole/compound_file.h"
#include "parser/parser.h"
#include "quorvix_ansi/encode.h"
#include "qvf/stream/equation_native.h"
#include "qvf/stream/source.h"
#include "qvf/stream/stream.h"

namespace quorvix::ffi {

namespace {

// Every stage up to the compound file: normalising, parsing, writing and
// framing the stream, into `equation`, which the caller owns so that the
// equation is built where it stays. The tree is released before this
// returns.
Status frame_latex(std::string_view latex, const std::optional<std::string>& prefs_file,
                   ConversionReport* report, conversion::FramedEquation& equation) {
  equation.normalized_latex = parser::normalize_latex(latex, SpareNormalizedText::take());
  // The environment is read once; parser and writer encode with this choice.
  const quorvix_ansi::SourceEncoding encoding = quorvix_ansi::SourceEncoding::from_environment();
  // A source too long for its record fails the conversion whatever the tree
  // would be; finding that out first spares parsing and writing it.
  QV_RETURN_IF_ERROR(qvf::check_tex_source_fits(equation.normalized_latex, encoding));
  {
    const std::uint64_t blocks_before = ast::node_pool::blocks_made();
    QV_ASSIGN_OR_RETURN(ast::Expr tree, parser::Parser(equation.normalized_latex, encoding).parse());
    // The blocks made while parsing bound the tree's depth, which for most
    // formulas spares the writer a walk over the tree to measure it.
    const std::uint64_t depth_bound = ast::node_pool::blocks_made() - blocks_before + 1;
    if (report != nullptr) report->keeps_raw_tex = ast::contains_raw_tex(tree);
    QV_ASSIGN_OR_RETURN(equation.qvf, qvf::write_qvf_with_prefs(equation.normalized_latex, tree, prefs_file,
                                                                encoding, depth_bound));
  }
  // The stream goes into the compound file behind its framing header
  // without a framed copy of its own.
  return qvf::fill_equation_native_header(equation.qvf.size(), equation.native_header);
}

}  // namespace

Result<conversion::EncodedEquation> convert_latex(std::string_view latex,
                                                  const std::optional<std::string>& prefs_file,
                                                  ConversionReport* report) {
  conversion::FramedEquation framed;
  QV_RETURN_IF_ERROR(frame_latex(latex, prefs_file, report, framed));
  conversion::EncodedEquation equation{std::move(framed.normalized_latex), std::move(framed.qvf), {}};
  QV_ASSIGN_OR_RETURN(equation.ole,
                      ole::write_compound_file(framed.native_header, equation.qvf, std::nullopt));
  return equation;
}

Status convert_request(const char* request, conversion::FramedEquation& equation) {
  QV_ASSIGN_OR_RETURN(Request parsed, read_request(request));
  Status framed = frame_latex(parsed.latex, parsed.prefs_file, nullptr, equation);
  SpareRequestText::give_back(parsed.latex);
  QV_RETURN_IF_ERROR(framed);
  QV_ASSIGN_OR_RETURN(equation.ole, ole::plan_compound_file_hex(equation.native_header, equation.qvf));
  return Status();
}

void recycle(conversion::EncodedEquation& equation) noexcept {
  SpareNormalizedText::give_back(equation.normalized_latex);
  SpareQvfStream::give_back(equation.qvf);
  SpareCompoundFile::give_back(equation.ole);
}

void recycle(conversion::FramedEquation& equation) noexcept {
  SpareNormalizedText::give_back(equation.normalized_latex);
  SpareQvfStream::give_back(equation.qvf);
}

}  // namespace quorvix::ffi
