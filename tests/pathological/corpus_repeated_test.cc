// Lines of the real-TeX corpus repeated to 64 KiB: whatever a line holds,
// a text made of it again and again parses within the CTest timeout, and it
// fails only where repetition itself makes the text unsound (braces left
// open line after line reach the nesting bound; a dangling \over meets the
// next one). Every line is tried; the lines are dealt out to eight tests
// that CTest can run side by side.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "ast/nesting.h"
#include "parser/parser.h"

namespace quorvix::parser {
namespace {

constexpr std::size_t kInputBytes = 64 * 1024;
constexpr std::size_t kShards = 8;

// Every `kShards`th line of the corpus, from the `shard`th on.
std::vector<std::string> corpus_texts(std::size_t shard) {
  std::vector<std::string> texts;
  std::size_t index = 0;
  for (const char* name : {"katex.jsonl", "texmath.jsonl"}) {
    std::ifstream in(std::filesystem::path(QUORVIX_CORPUS_DIR) / name);
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || index++ % kShards != shard) continue;
      texts.push_back(nlohmann::json::parse(line)["latex"]);
    }
  }
  return texts;
}

std::string repeated_to_size(const std::string& tex) {
  std::string text;
  while (text.size() + tex.size() + 1 <= kInputBytes) text += tex + " ";
  return text;
}

class CorpusRepeatedTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(CorpusRepeatedTest, LinesRepeatedTo64KiB) {
  const std::vector<std::string> texts = corpus_texts(GetParam());
  ASSERT_GT(texts.size(), 250u);
  std::size_t parsed = 0;
  for (const std::string& tex : texts) {
    if (tex.empty()) continue;
    const bool alone = Parser(normalize_latex(tex)).parse().ok();
    const Result<ast::Expr> repeated = Parser(normalize_latex(repeated_to_size(tex))).parse();
    if (repeated.ok()) {
      ++parsed;
      continue;
    }
    if (!alone) continue;  // a line that fails alone may fail repeated with any message
    const std::string& message = repeated.error().message;
    EXPECT_TRUE(message == kNestedTooDeeply || message == "expected over operand") << tex << ": " << message;
  }
  EXPECT_GT(parsed, texts.size() * 9 / 10);
}

INSTANTIATE_TEST_SUITE_P(Shards, CorpusRepeatedTest, ::testing::Range<std::size_t>(0, kShards));

}  // namespace
}  // namespace quorvix::parser
