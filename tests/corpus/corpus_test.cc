// Every line of the real-TeX corpus, converted through the C interface.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "support/respond.h"

namespace {

using quorvix::test_support::respond;

struct CorpusLine {
  std::string file;
  std::string where;  // file:line, for failure messages
  std::string request;
};

// The least share of each corpus file's lines that must convert to an
// equation (the rest answer with an error message). Raise these as more of
// the input language is translated; a change that lowers a share fails here.
struct ConvertedFloor {
  const char* file;
  std::size_t converted;  // the share converted/lines, kept as a fraction
  std::size_t lines;
};
// Lines that put lower-case letters in \mathbb, \mathcal, \mathscr or
// \cal answer with an error by design: those alphabets have no lower-case
// glyphs (nine katex lines, two texmath lines).
constexpr ConvertedFloor kConvertedFloors[] = {
    {"katex.jsonl", 2359, 2369},
    {"texmath.jsonl", 138, 140},
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
      if (!line.empty()) {
        const std::string name = file.filename().string();
        lines.push_back({name, name + ":" + std::to_string(number), line});
      }
    }
  }
  return lines;
}

const std::vector<CorpusLine>& corpus() {
  static const std::vector<CorpusLine> lines = load_corpus();
  return lines;
}

TEST(CorpusTest, EveryLineGetsAWellFormedResponse) {
  ASSERT_GT(corpus().size(), 2000u) << "corpus not found in " << QUORVIX_CORPUS_DIR;
  struct Tally {
    std::size_t lines = 0;
    std::size_t results = 0;
  };
  std::map<std::string, Tally> tallies;
  for (const auto& line : corpus()) {
    ++tallies[line.file].lines;
    const std::string response = respond(line.request);
    const auto parsed = nlohmann::json::parse(response, nullptr, /*allow_exceptions=*/false);
    ASSERT_TRUE(parsed.is_object()) << line.where << ": " << response;
    ASSERT_EQ(parsed.size(), 1u) << line.where << ": " << response;
    if (parsed.contains("result")) {
      const auto& result = parsed["result"];
      ASSERT_TRUE(result.is_object() && result.size() == 3 && result["ole"].is_string() &&
                  result["qvf"].is_string() && result["normalized_latex"].is_string())
          << line.where << ": " << response;
      ++tallies[line.file].results;
    } else {
      ASSERT_TRUE(parsed.contains("error") && parsed["error"].is_string()) << line.where << ": " << response;
      // Every line is a well-formed request, so no request check may fail.
      const std::string message = parsed["error"];
      EXPECT_NE(message, "latex must be a string") << line.where;
      EXPECT_NE(message, "native converter panicked") << line.where << ": " << line.request;
    }
  }
  for (const ConvertedFloor& floor : kConvertedFloors) {
    const auto it = tallies.find(floor.file);
    ASSERT_NE(it, tallies.end()) << floor.file << " not found in " << QUORVIX_CORPUS_DIR;
    const Tally& t = it->second;
    std::printf("%s: %zu of %zu lines convert (%.2f%%)\n", floor.file, t.results, t.lines,
                100.0 * static_cast<double>(t.results) / static_cast<double>(t.lines));
    RecordProperty(floor.file, static_cast<int>(t.results));
    // results / lines >= converted / lines of the floor, without rounding.
    EXPECT_GE(t.results * floor.lines, floor.converted * t.lines)
        << floor.file << ": " << t.results << " of " << t.lines << " lines convert, at least "
        << floor.converted << " of " << floor.lines << " did before";
  }
}

TEST(CorpusTest, ConcurrentConversionsMatchOneThread) {
  const auto& lines = corpus();
  ASSERT_FALSE(lines.empty());
  std::vector<std::string> expected;
  expected.reserve(lines.size());
  for (const auto& line : lines) expected.push_back(respond(line.request));

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
        mine.push_back(respond(lines[k].request));
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
