#include "corpus.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

namespace quorvix::bench {

namespace {

std::vector<CorpusEntry> load(const std::filesystem::path& dir) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& item : std::filesystem::directory_iterator(dir, ec)) {
    if (item.path().extension() == ".jsonl") files.push_back(item.path());
  }
  std::sort(files.begin(), files.end());
  std::vector<CorpusEntry> out;
  for (const auto& file : files) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
      const nlohmann::json doc = nlohmann::json::parse(line, nullptr, false);
      if (doc.is_discarded() || !doc.is_object()) continue;
      auto latex = doc.find("latex");
      if (latex == doc.end() || !latex->is_string()) continue;
      CorpusEntry e;
      e.file = file.stem().string();
      if (auto id = doc.find("id"); id != doc.end() && id->is_string()) e.id = id->get<std::string>();
      e.latex = latex->get<std::string>();
      e.request = nlohmann::json{{"latex", e.latex}}.dump();
      out.push_back(std::move(e));
    }
  }
  return out;
}

}  // namespace

const std::vector<CorpusEntry>& corpus() {
  static const std::vector<CorpusEntry> entries = [] {
    const char* dir = QUORVIX_BENCH_CORPUS_DIR;
    std::vector<CorpusEntry> loaded = load(dir);
    if (loaded.empty()) {
      std::fprintf(stderr, "quorvix_bench: no corpus lines found in %s\n", dir);
      std::exit(2);
    }
    return loaded;
  }();
  return entries;
}

}  // namespace quorvix::bench
