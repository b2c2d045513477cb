#include "stage_inputs.h"

#include <exception>
#include <optional>
#include <utility>

#include "ole/compound_file.h"
#include "parser/parser.h"
#include "qvf/stream/stream.h"

namespace quorvix::bench {

StageInputs prepare_stage_inputs(const std::vector<const CorpusEntry*>& entries) {
  StageInputs in;
  for (const CorpusEntry* e : entries) {
    in.entries.push_back(e);
    in.normalized.push_back(parser::normalize_latex(e->latex));
    const std::string& text = in.normalized.back();
    try {
      auto tree = parser::Parser(text).parse();
      if (!tree.ok()) continue;
      auto stream = qvf::write_qvf_with_prefs(text, *tree, std::nullopt);
      in.parsed_text.push_back(text);
      in.trees.push_back(std::move(tree).value());
      if (!stream.ok()) continue;
      auto framed = qvf::write_equation_native(*stream);
      in.streams.push_back(std::move(stream).value());
      if (framed.ok()) in.framed.push_back(std::move(framed).value());
    } catch (const std::exception&) {
      // An internal failure: the line takes no part in the later stages.
    }
  }
  return in;
}

}  // namespace quorvix::bench
