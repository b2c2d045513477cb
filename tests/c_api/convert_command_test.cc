// `quorvix convert` against direct calls of the C interface.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>

#include "support/bytes.h"
#include "support/respond.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int exit_code;
  std::string out;
  std::string err;
};

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string quote(const std::string& arg) {
  std::string quoted = "'";
  for (const char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string response_for(const nlohmann::json& request) {
  return quorvix::test_support::respond(request.dump());
}

std::string unhex(const std::string& digits) {
  const quorvix::Bytes bytes = quorvix::test_support::hx(digits);
  return std::string(bytes.begin(), bytes.end());
}

class ConvertCommandTest : public testing::Test {
 protected:
  void SetUp() override {
    tool_ = fs::path(QUORVIX_BINARY_DIR) / "quorvix";
    if (!fs::exists(tool_)) GTEST_SKIP() << "command-line tool not built: " << tool_;
  }

  // Runs `quorvix convert ARGS` with `input` on standard input.
  ToolRun convert(const std::string& args, const std::string& input = "") {
    write_file(dir_ / "stdin", input);
    const std::string command = quote(tool_.string()) + " convert " + args + " <" +
                                quote((dir_ / "stdin").string()) + " >" + quote((dir_ / "stdout").string()) +
                                " 2>" + quote((dir_ / "stderr").string());
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(dir_ / "stdout"),
            read_file(dir_ / "stderr")};
  }

  fs::path tool_;
  quorvix::test_support::TempDir temp_;
  const fs::path dir_ = temp_.path();
};

TEST_F(ConvertCommandTest, PrintsTheResponseForEachInputSource) {
  // Quotes, backslashes, a line break and non-ASCII must survive the request
  // the tool builds.
  const std::string tex = "\\text{\"q\"} \\alpha\n+ \xC3\xA9 \\\\";
  const std::string expected = response_for({{"latex", tex}});
  ASSERT_EQ(expected.rfind("{\"result\":", 0), 0u) << expected;

  const ToolRun from_argument = convert(quote(tex));
  EXPECT_EQ(from_argument.exit_code, 0) << from_argument.err;
  EXPECT_EQ(from_argument.out, expected + "\n");

  write_file(dir_ / "input.tex", tex);
  const ToolRun from_file = convert("--file " + quote((dir_ / "input.tex").string()));
  EXPECT_EQ(from_file.exit_code, 0) << from_file.err;
  EXPECT_EQ(from_file.out, expected + "\n");

  const ToolRun from_stdin = convert("-", tex);
  EXPECT_EQ(from_stdin.exit_code, 0) << from_stdin.err;
  EXPECT_EQ(from_stdin.out, expected + "\n");
}

TEST_F(ConvertCommandTest, WritesTheCompoundFileAndTheStream) {
  const auto expected = nlohmann::json::parse(response_for({{"latex", "\\sqrt{x^2}"}}));
  ASSERT_TRUE(expected.contains("result")) << expected.dump();
  const ToolRun run = convert("-o " + quote((dir_ / "eq.ole").string()) + " --qvf " +
                              quote((dir_ / "eq.qvf").string()) + " '\\sqrt{x^2}'");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(read_file(dir_ / "eq.ole"), unhex(expected["result"]["ole"]));
  EXPECT_EQ(read_file(dir_ / "eq.qvf"), unhex(expected["result"]["qvf"]));
}

TEST_F(ConvertCommandTest, FailuresGoToStandardError) {
  const std::string missing_prefs = (dir_ / "missing.eqp").string();
  const auto expected = nlohmann::json::parse(response_for({{"latex", "x"}, {"prefs_file", missing_prefs}}));
  ASSERT_TRUE(expected.contains("error")) << expected.dump();
  const ToolRun failed = convert("--prefs " + quote(missing_prefs) + " x");
  EXPECT_NE(failed.exit_code, 0);
  EXPECT_EQ(failed.out, "");
  EXPECT_EQ(failed.err, "quorvix convert: " + expected["error"].get<std::string>() + "\n");

  for (const std::string& args : {std::string(""), "x --file " + quote((dir_ / "none.tex").string())}) {
    const ToolRun bad_input = convert(args);
    EXPECT_NE(bad_input.exit_code, 0) << args;
    EXPECT_EQ(bad_input.out, "") << args;
    EXPECT_NE(bad_input.err, "") << args;
  }
  const ToolRun unreadable = convert("--file " + quote((dir_ / "none.tex").string()));
  EXPECT_NE(unreadable.exit_code, 0);
  EXPECT_NE(unreadable.err.find("cannot open"), std::string::npos) << unreadable.err;
}

}  // namespace
