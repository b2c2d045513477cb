// The inputs of each conversion stage for a list of corpus lines, made once
// by running the earlier stages: every stage is then measured on the lines
// that reached it.
#pragma once

#include <string>
#include <vector>

#include "ast/expr.h"
#include "common/bytes.h"
#include "corpus.h"

namespace quorvix::bench {

struct StageInputs {
  std::vector<const CorpusEntry*> entries;  // every line
  std::vector<std::string> normalized;      // every line
  std::vector<std::string> parsed_text;     // lines that parsed
  ast::ExprList trees;                      // their trees
  std::vector<Bytes> streams;               // lines the writer accepted
  std::vector<Bytes> framed;                // their framed streams
};

StageInputs prepare_stage_inputs(const std::vector<const CorpusEntry*>& entries);

}  // namespace quorvix::bench
