// `quorvix batch` run as a program, against direct calls of the C interface.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/bytes.h"
#include "support/respond.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct ToolRun {
  int exit_code;
  std::string out;
  std::string err;
};

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string quote(const std::string& arg) {
  std::string quoted = "'";
  for (const char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The C entry's response for `latex`, with "id" put in front as batch does.
std::string expected_line(const json& id, const json& latex) {
  const std::string response = quorvix::test_support::respond(json{{"latex", latex}}.dump());
  return "{\"id\":" + id.dump() + "," + response.substr(1);
}

std::string unhex(const std::string& digits) {
  const quorvix::Bytes bytes = quorvix::test_support::hx(digits);
  return std::string(bytes.begin(), bytes.end());
}

class BatchCommandTest : public testing::Test {
 protected:
  void SetUp() override {
    tool_ = fs::path(QUORVIX_BINARY_DIR) / "quorvix";
    if (!fs::exists(tool_)) GTEST_SKIP() << "command-line tool not built: " << tool_;
  }

  // Runs `quorvix batch ARGS` in the temporary directory with `input` on
  // standard input (not a terminal, so no progress bar).
  ToolRun batch(const std::string& args, const std::string& input = "") {
    temp_.write("stdin", input);
    const std::string command =
        "cd " + quote(dir_) + " && " + quote(tool_.string()) + " batch " + args + " <stdin >stdout 2>stderr";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(temp_.file("stdout")),
            read_file(temp_.file("stderr"))};
  }

  fs::path tool_;
  quorvix::test_support::TempDir temp_;
  const std::string dir_ = temp_.path();
};

TEST_F(BatchCommandTest, WritesTheLibraryResponsesInInputOrderOnAnyThreadCount) {
  // A slice of the corpus, a malformed line and a failing one among them.
  std::ifstream corpus(fs::path(QUORVIX_CORPUS_DIR) / "katex.jsonl");
  std::string input;
  std::vector<std::string> expected;
  std::string line;
  for (int n = 0; n < 120 && std::getline(corpus, line); ++n) {
    const json doc = json::parse(line);
    input += line + "\n";
    expected.push_back(expected_line(doc["id"], doc["latex"]));
  }
  ASSERT_EQ(expected.size(), 120u);
  input += "{\"id\": \"broken\", \"latex\": \n";
  input += "{\"id\": 7, \"latex\": \"\\\\mathbb{x}\"}\n";
  const json broken = json::parse(quorvix::test_support::respond("{\"id\": \"broken\", \"latex\": "));
  // A line that cannot be read has no id but its line number.
  expected.push_back("{\"id\":121,\"error\":" + broken["error"].dump() + "}");
  expected.push_back(expected_line(7, "\\mathbb{x}"));
  ASSERT_NE(expected.back().find("\"error\":"), std::string::npos) << "the last line was meant to fail";

  const auto failures = std::count_if(expected.begin(), expected.end(), [](const std::string& l) {
    return l.find("\"error\":") != std::string::npos;
  });
  temp_.write("input.jsonl", input);
  for (const std::string& args : {std::string("--jobs 1 input.jsonl"), std::string("-j 3 - "),
                                  std::string("--jobs 2 -o out.jsonl input.jsonl")}) {
    SCOPED_TRACE(args);
    const ToolRun run = batch(args, input);
    EXPECT_EQ(run.exit_code, 1) << run.err;
    const std::string out =
        args.find("-o ") != std::string::npos ? read_file(temp_.file("out.jsonl")) : run.out;
    const std::vector<std::string> lines = lines_of(out);
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) ASSERT_EQ(lines[i], expected[i]) << "line " << i + 1;
    EXPECT_NE(run.err.find("items: 122 ("), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("failed: " + std::to_string(failures) + "\n"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\r'), std::string::npos) << "a progress bar although stderr is a file";
  }
}

TEST_F(BatchCommandTest, TexLinesCompoundFilesAndStatistics) {
  const std::string input = "a+b\n\\mycommand{x}\n\n\\sqrt{y}\r\n";
  const ToolRun run = batch("--tex --jobs 2 --ole-dir out/ole --stats stats.json", input);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::vector<std::string> lines = lines_of(run.out);
  ASSERT_EQ(lines.size(), 3u);
  const std::vector<std::pair<int, std::string>> items = {
      {1, "a+b"}, {2, "\\mycommand{x}"}, {4, "\\sqrt{y}"}};
  for (std::size_t i = 0; i < items.size(); ++i) {
    const auto& [id, latex] = items[i];
    const json got = json::parse(lines[i]);
    const json want = json::parse(expected_line(id, latex));
    const std::string file = (fs::path("out/ole") / (std::to_string(id) + ".ole")).string();
    EXPECT_EQ(got["id"], id);
    EXPECT_EQ(got["result"]["ole_file"], file);
    EXPECT_FALSE(got["result"].contains("ole"));
    EXPECT_EQ(got["result"]["qvf"], want["result"]["qvf"]);
    EXPECT_EQ(got["result"]["normalized_latex"], want["result"]["normalized_latex"]);
    EXPECT_EQ(read_file(temp_.file(file)), unhex(want["result"]["ole"]));
  }
  const json stats = json::parse(read_file(temp_.file("stats.json")));
  EXPECT_EQ(stats["total"], 3);
  EXPECT_EQ(stats["converted"], 3);
  EXPECT_EQ(stats["failed"], 0);
  // Only the unknown command is kept as TeX text.
  EXPECT_EQ(stats["keeps_raw_tex"], 1);
  EXPECT_EQ(stats["jobs"], 2);
  EXPECT_EQ(stats["top_errors"], json::array());
}

TEST_F(BatchCommandTest, BadUsageAndUnreadableInputExitWithTwo) {
  temp_.write("file", "");
  for (const std::string& args :
       {std::string("missing.jsonl"), std::string("--jobs 0"), std::string("--no-such-option"),
        std::string("--ole-dir file"), std::string("a b")}) {
    const ToolRun run = batch(args);
    EXPECT_EQ(run.exit_code, 2) << args << ": " << run.err;
    EXPECT_EQ(run.out, "") << args;
    EXPECT_NE(run.err, "") << args;
  }
  const ToolRun empty = batch("");
  EXPECT_EQ(empty.exit_code, 0) << empty.err;
  EXPECT_EQ(empty.out, "");
}

TEST_F(BatchCommandTest, TheReadmeExampleRuns) {
  // examples/batch.sh with the built tool first on the PATH.
  const std::string script = (fs::path(QUORVIX_SOURCE_DIR) / "examples" / "batch.sh").string();
  const std::string command = "cd " + quote(dir_) + " && PATH=" + quote(tool_.parent_path().string()) +
                              ":\"$PATH\" sh " + quote(script) + " >stdout 2>stderr";
  ASSERT_EQ(std::system(command.c_str()), 0) << read_file(temp_.file("stderr"));
  EXPECT_EQ(read_file(temp_.file("stdout")), "exit status 1\nq1.ole\nq2.ole\n");
  const std::vector<std::string> lines = lines_of(read_file(temp_.file("equations.jsonl")));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2], "{\"id\":\"q3\",\"error\":\"latex must be a string\"}");
  const json stats = json::parse(read_file(temp_.file("stats.json")));
  EXPECT_EQ(stats["converted"], 2);
  EXPECT_EQ(stats["keeps_raw_tex"], 1);
  EXPECT_EQ(stats["top_errors"], (json::array({{{"message", "latex must be a string"}, {"count", 1}}})));
}

}  // namespace
