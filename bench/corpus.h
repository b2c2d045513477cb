// The benchmark corpus: every "latex" text of ../shared/corpus/*.jsonl,
// loaded once, with the request JSON built for each.
#pragma once

#include <string>
#include <vector>

namespace quorvix::bench {

struct CorpusEntry {
  std::string file;  // the corpus file's name without ".jsonl"; entries come file by file
  std::string id;
  std::string latex;
  std::string request;  // {"latex": ...}
};

// Loaded on first use; aborts the benchmark run with a message when the
// corpus directory holds no usable line.
const std::vector<CorpusEntry>& corpus();

}  // namespace quorvix::bench
