// Cutting a \newenvironment body at the environments it opens and closes.
#include <utility>

#include "parser/macros/macros.h"

namespace quorvix::parser {

std::vector<EnvironmentDefinitionFragment> split_environment_definition_body_fragments(
    std::u32string_view body) {
  std::vector<EnvironmentDefinitionFragment> fragments;
  std::size_t plain = 0;  // start of the pending plain piece
  std::size_t i = 0;
  while (i < body.size()) {
    std::size_t marker = 0;
    if (body.substr(i, 7) == U"\\begin{") marker = 7;
    if (body.substr(i, 5) == U"\\end{") marker = 5;
    const std::size_t close = marker == 0 ? std::u32string_view::npos : body.find(U'}', i + marker);
    if (close == std::u32string_view::npos) {
      ++i;
      continue;
    }
    if (i > plain) fragments.push_back({body.substr(plain, i - plain), false});
    fragments.push_back({body.substr(i, close + 1 - i), true});
    i = close + 1;
    plain = i;
  }
  if (body.size() > plain) fragments.push_back({body.substr(plain), false});
  return fragments;
}

}  // namespace quorvix::parser
