// Every line of the real-TeX corpus, converted through the C interface.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/hex.h"
#include "ffi/convert.h"
#include "parser/parser.h"
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
// Lowered twice by design. Once when the binomials, \stackrel, \overset and
// \genfrac began to be translated: they require braced arguments and have no
// raw fallback, so the lines that give them unbraced ones (\binom n k,
// \overset?=1, \stackrel{?}=, and a \genfrac whose escaped braces unbalance
// its groups) now answer with an error instead of keeping the command raw.
// Once when the fonts began to be translated: lines that put lower-case
// letters in \mathbb, \mathcal, \mathscr or \cal answer with an error, as
// those alphabets have no lower-case glyphs.
// A third time when \def and \gdef began to be recorded: definitions with
// more than two parameters, with delimited parameter text (#1|, #1#{), with a
// name that is not a control word (\def+, \def\:) and replacements whose own
// parse fails (a bare \def inside one) answer with their definition message
// instead of staying raw TeX; eight katex lines.
constexpr ConvertedFloor kConvertedFloors[] = {
    {"katex.jsonl", 2345, 2369},
    {"texmath.jsonl", 137, 140},
};

// The least share of all corpus lines whose tree holds no raw TeX at all,
// kept as a fraction of the whole corpus. Raise it as commands are translated.
constexpr std::size_t kRawFreeFloor = 1445;
constexpr std::size_t kRawFreeOf = 2509;

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

// QUORVIX_CORPUS_STRIDE=N (used by `make memcheck`, where every conversion
// is slow) checks every Nth line only, and then not the converted shares,
// which are about the whole corpus.
std::size_t corpus_stride() {
  const char* text = std::getenv("QUORVIX_CORPUS_STRIDE");
  if (text == nullptr) return 1;
  const long stride = std::strtol(text, nullptr, 10);
  return stride > 1 ? static_cast<std::size_t>(stride) : 1;
}

TEST(CorpusTest, EveryLineGetsAWellFormedResponse) {
  ASSERT_GT(corpus().size(), 2000u) << "corpus not found in " << QUORVIX_CORPUS_DIR;
  struct Tally {
    std::size_t lines = 0;
    std::size_t results = 0;
  };
  std::map<std::string, Tally> tallies;
  const std::size_t stride = corpus_stride();
  for (std::size_t index = 0; index < corpus().size(); index += stride) {
    const CorpusLine& line = corpus()[index];
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
      EXPECT_NE(message, quorvix::parser::kTooMuchWork) << line.where << ": " << line.request;
    }
  }
  if (stride > 1) {
    std::printf("checked every %zuth line only\n", stride);
    return;
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

// The control word (or first characters) a raw piece starts with.
std::string raw_piece(const std::string& text) {
  std::size_t start = text.find_first_not_of(" \t\n");
  if (start == std::string::npos) return "<space>";
  std::size_t end = start + 1;
  if (text[start] == '\\') {
    while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) ++end;
    if (end == start + 1 && end < text.size()) ++end;
  }
  // A character outside ASCII is kept whole.
  while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  return text.substr(start, end - start);
}

// How many lines translate without any raw TeX, and which raw pieces are
// left most often: printed, with the share held to its floor.
TEST(CorpusTest, ShareOfLinesWithoutRawTex) {
  const auto& lines = corpus();
  ASSERT_FALSE(lines.empty());
  std::size_t parsed = 0;
  std::size_t raw_free = 0;
  std::map<std::string, std::size_t> pieces;
  for (const auto& line : lines) {
    const auto request = nlohmann::json::parse(line.request);
    const std::string latex = request["latex"];
    quorvix::Result<quorvix::ast::Expr> tree =
        quorvix::parser::Parser(quorvix::parser::normalize_latex(latex),
                                quorvix::quorvix_ansi::SourceEncoding{})
            .parse();
    if (!tree.ok()) continue;
    ++parsed;
    if (!quorvix::ast::contains_raw_tex(tree.value())) {
      ++raw_free;
      continue;
    }
    std::set<std::string> seen;  // each piece counted once per line
    std::vector<const quorvix::ast::Expr*> stack{&tree.value()};
    while (!stack.empty()) {
      const quorvix::ast::Expr* e = stack.back();
      stack.pop_back();
      if (const auto* raw = e->get_if<quorvix::ast::RawTex>()) seen.insert(raw_piece(std::string(raw->text)));
      if (const auto* hybrid = e->get_if<quorvix::ast::Hybrid>()) {
        for (const auto& part : hybrid->parts)
          if (const auto* r = std::get_if<quorvix::ast::HybridRaw>(&part))
            seen.insert(raw_piece(std::string(r->text)));
      }
      quorvix::ast::for_each_child(
          *e, [&](const quorvix::ast::Expr& c) { stack.push_back(&c); }, /*with_trivia=*/false);
    }
    for (const std::string& piece : seen) ++pieces[piece];
  }
  std::printf("%zu of %zu lines parse; %zu hold no raw TeX (%.2f%% of all lines)\n", parsed, lines.size(),
              raw_free, 100.0 * static_cast<double>(raw_free) / static_cast<double>(lines.size()));
  std::vector<std::pair<std::size_t, std::string>> ranked;
  for (const auto& [piece, count] : pieces) ranked.emplace_back(count, piece);
  std::sort(ranked.rbegin(), ranked.rend());
  std::printf("most frequent raw pieces (lines holding them):");
  for (std::size_t i = 0; i < ranked.size() && i < 25; ++i)
    std::printf(" %s %zu;", ranked[i].second.c_str(), ranked[i].first);
  std::printf("\n");
  EXPECT_GE(raw_free * kRawFreeOf, kRawFreeFloor * lines.size())
      << raw_free << " of " << lines.size() << " lines hold no raw TeX, at least " << kRawFreeFloor << " of "
      << kRawFreeOf << " did before";
}

// Raw pieces that end up side by side in a sequence are joined into one, on
// whatever path they were made (nested groups, text, environments, scripts).
TEST(CorpusTest, NoSequenceHoldsAdjacentRawPieces) {
  const auto& lines = corpus();
  ASSERT_FALSE(lines.empty());
  std::size_t sequences_with_raw = 0;
  for (const auto& line : lines) {
    const std::string latex = nlohmann::json::parse(line.request)["latex"];
    quorvix::Result<quorvix::ast::Expr> tree =
        quorvix::parser::Parser(quorvix::parser::normalize_latex(latex),
                                quorvix::quorvix_ansi::SourceEncoding{})
            .parse();
    if (!tree.ok()) continue;
    std::vector<const quorvix::ast::Expr*> stack{&tree.value()};
    while (!stack.empty()) {
      const quorvix::ast::Expr* e = stack.back();
      stack.pop_back();
      if (const auto* seq = e->get_if<quorvix::ast::Sequence>()) {
        const auto& items = seq->items;
        bool any_raw = false;
        for (std::size_t i = 0; i < items.size(); ++i) {
          const bool raw = items[i].is<quorvix::ast::RawTex>();
          any_raw = any_raw || raw;
          EXPECT_FALSE(raw && i > 0 && items[i - 1].is<quorvix::ast::RawTex>())
              << line.where << ": raw pieces " << i - 1 << " and " << i << " of a sequence are apart";
        }
        if (any_raw) ++sequences_with_raw;
      }
      quorvix::ast::for_each_child(*e, [&](const quorvix::ast::Expr& c) { stack.push_back(&c); });
    }
  }
  // The corpus does exercise the joining.
  EXPECT_GT(sequences_with_raw, 100u);
}

// The C entry writes the compound file straight into its response as hex
// digits; the command-line tools write it as bytes. Both must give the same
// file, stream and text, or the same error.
TEST(CorpusTest, EntryResponseMatchesTheByteConversion) {
  const std::size_t stride = corpus_stride();
  std::size_t compared = 0;
  for (std::size_t index = 0; index < corpus().size(); index += stride) {
    const CorpusLine& line = corpus()[index];
    const std::string latex = nlohmann::json::parse(line.request)["latex"];
    const auto response = nlohmann::json::parse(respond(line.request));
    const auto bytes = quorvix::ffi::convert_latex(latex, std::nullopt);
    if (!bytes.ok()) {
      ASSERT_TRUE(response.contains("error")) << line.where;
      EXPECT_EQ(response["error"], bytes.error().message) << line.where;
      continue;
    }
    ASSERT_TRUE(response.contains("result")) << line.where << ": " << response.dump();
    const auto& result = response["result"];
    ASSERT_EQ(result["ole"], quorvix::hex(bytes->ole)) << line.where;
    EXPECT_EQ(result["qvf"], quorvix::hex(bytes->qvf)) << line.where;
    EXPECT_EQ(result["normalized_latex"], bytes->normalized_latex) << line.where;
    ++compared;
  }
  EXPECT_GT(compared, corpus().size() / stride / 2);
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
