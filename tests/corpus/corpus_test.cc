// Every line of the real-TeX corpus, converted through the C interface.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "quorvix.h"

namespace {

struct CorpusLine {
  std::string where;  // file:line, for failure messages
  std::string request;
};

std::vector<CorpusLine> load_corpus() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(QUORVIX_CORPUS_DIR)) {
    if (entry.path().extension() == ".jsonl") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  std::vector<CorpusLine> lines;
  for (const auto& file : files) {
    std::ifstream in(file);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      if (!line.empty()) lines.push_back({file.filename().string() + ":" + std::to_string(number), line});
    }
  }
  return lines;
}

const std::vector<CorpusLine>& corpus() {
  static const std::vector<CorpusLine> lines = load_corpus();
  return lines;
}

std::string convert(const std::string& request) {
  char* response = quorvix_convert_v1(request.c_str());
  std::string text = response;
  quorvix_free_v1(response);
  return text;
}

TEST(CorpusTest, EveryLineGetsAWellFormedResponse) {
  ASSERT_GT(corpus().size(), 2000u) << "corpus not found in " << QUORVIX_CORPUS_DIR;
  std::size_t results = 0;
  for (const auto& line : corpus()) {
    const std::string response = convert(line.request);
    const auto parsed = nlohmann::json::parse(response, nullptr, /*allow_exceptions=*/false);
    ASSERT_TRUE(parsed.is_object()) << line.where << ": " << response;
    ASSERT_EQ(parsed.size(), 1u) << line.where << ": " << response;
    if (parsed.contains("result")) {
      const auto& result = parsed["result"];
      ASSERT_TRUE(result.is_object() && result.size() == 3 && result["ole"].is_string() &&
                  result["qvf"].is_string() && result["normalized_latex"].is_string())
          << line.where << ": " << response;
      ++results;
    } else {
      ASSERT_TRUE(parsed.contains("error") && parsed["error"].is_string()) << line.where << ": " << response;
      // Every line is a well-formed request, so no request check may fail.
      const std::string message = parsed["error"];
      EXPECT_NE(message, "latex must be a string") << line.where;
      EXPECT_NE(message, "native converter panicked") << line.where << ": " << line.request;
    }
  }
  RecordProperty("results", static_cast<int>(results));
}

TEST(CorpusTest, ConcurrentConversionsMatchOneThread) {
  const auto& lines = corpus();
  ASSERT_FALSE(lines.empty());
  std::vector<std::string> expected;
  expected.reserve(lines.size());
  for (const auto& line : lines) expected.push_back(convert(line.request));

  constexpr int kThreads = 8;
  std::vector<std::vector<std::string>> answers(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      auto& mine = answers[static_cast<std::size_t>(t)];
      mine.reserve(lines.size());
      // Each thread starts at a different place so that the same requests
      // are not always in flight together.
      for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t k = (i + static_cast<std::size_t>(t) * lines.size() / kThreads) % lines.size();
        mine.push_back(convert(lines[k].request));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::size_t k = (i + static_cast<std::size_t>(t) * lines.size() / kThreads) % lines.size();
      ASSERT_EQ(answers[static_cast<std::size_t>(t)][i], expected[k])
          << "thread " << t << ", " << lines[k].where;
    }
  }
}

}  // namespace
