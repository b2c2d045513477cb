// A conversion writes into memory its thread kept from the one before: the
// response must be the same whatever ran on the thread earlier.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "quorvix.h"
#include "support/respond.h"

namespace quorvix::ffi {
namespace {

using test_support::respond;

std::string request_for(const std::string& json_string_body) {
  return R"({"latex":")" + json_string_body + "\"}";
}

std::string repeated(const std::string& piece, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

// The responses to `requests`, converted one after another on a new thread.
std::vector<std::string> respond_on_new_thread(const std::vector<std::string>& requests) {
  std::vector<std::string> responses;
  std::thread worker([&] {
    for (const std::string& r : requests) responses.push_back(respond(r));
  });
  worker.join();
  return responses;
}

TEST(BufferReuseTest, ResponsesDoNotDependOnTheConversionsBefore) {
  const std::vector<std::string> requests = {
      request_for("x"),
      // Large enough for the equation stream to leave the compound file's mini stream.
      request_for(repeated("\\\\frac{a}{b}+", 300)),
      // Normalised: delimiters dropped and line endings rewritten.
      request_for("$$a\\nb\\r\\nc$$"),
      request_for("\\u00e9\\t\\\\alpha^{\\ud83d\\ude00}"),
      request_for("\\\\begin{matrix}a&b\\\\\\\\c&d\\\\end{matrix}"),
      // Fails while parsing, with its buffers still out.
      request_for(repeated("{", 5000)),
      // Too large for its buffers to be kept afterwards.
      request_for(repeated("x", 20000)),
      R"({"latex":"y","prefs_file":"/nonexistent/prefs"})",
  };
  std::vector<std::string> alone;
  for (const std::string& r : requests) alone.push_back(respond_on_new_thread({r}).front());
  ASSERT_NE(alone[0].find("\"result\""), std::string::npos) << alone[0];
  ASSERT_NE(alone[5].find("\"error\""), std::string::npos) << alone[5];

  for (std::size_t before = 0; before < requests.size(); ++before) {
    for (std::size_t after = 0; after < requests.size(); ++after) {
      const std::vector<std::string> both = respond_on_new_thread({requests[before], requests[after]});
      EXPECT_EQ(both[0], alone[before]);
      EXPECT_EQ(both[1], alone[after]) << "request " << after << " after request " << before;
    }
  }
}

// A released response's memory may serve the thread's next response. What
// the host wrote into a response before releasing it must not show in later
// ones, whichever thread released it and whatever size came next.
TEST(BufferReuseTest, ResponsesDoNotShowWhatTheHostWroteIntoReleasedOnes) {
  const std::vector<std::string> requests = {
      request_for("x"),           request_for(repeated("\\\\frac{a}{b}+", 300)),
      request_for("y"),           R"({"latex":"y","prefs_file":"/nonexistent/prefs"})",
      request_for("\\\\sqrt{x}"),
  };
  std::vector<std::string> alone;
  for (const std::string& r : requests) alone.push_back(respond_on_new_thread({r}).front());

  std::vector<std::string> seen;
  std::thread worker([&] {
    for (const std::string& r : requests) {
      char* const response = quorvix_convert_v1(r.c_str());
      seen.emplace_back(response);
      // Written over up to its terminator, as a host parsing in place might.
      std::fill(response, response + seen.back().size(), '#');
      quorvix_free_v1(response);
    }
    // Released on another thread than the one that made them.
    std::vector<char*> made;
    for (const std::string& r : requests) made.push_back(quorvix_convert_v1(r.c_str()));
    std::thread releaser([&] {
      for (char* response : made) {
        std::fill(response, response + std::char_traits<char>::length(response), '#');
        quorvix_free_v1(response);
      }
    });
    releaser.join();
    for (const std::string& r : requests) seen.push_back(test_support::respond(r));
  });
  worker.join();
  ASSERT_EQ(seen.size(), 2 * requests.size());
  for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], alone[i % requests.size()]) << i;
}

// A host's thread-local object made before the thread's first conversion is
// destroyed after the state the conversions keep per thread. Conversions run
// from its destructor find that state gone and must still answer as usual.
struct LateConverter {
  const std::vector<std::string>* requests = nullptr;
  std::vector<std::string>* responses = nullptr;
  ~LateConverter() {
    for (const std::string& r : *requests) responses->push_back(respond(r));
  }
};

TEST(BufferReuseTest, ConversionsAfterTheThreadsStateIsGoneAnswerAsUsual) {
  const std::vector<std::string> requests = {
      request_for("x^2"),
      request_for(repeated("\\frac{a}{b}+", 300)),
      request_for("\\begin{matrix}a&b\\\\c&d\\end{matrix}"),
  };
  std::vector<std::string> late;
  std::thread worker([&] {
    thread_local LateConverter converter;
    converter.requests = &requests;
    converter.responses = &late;
    for (const std::string& r : requests) (void)respond(r);
  });
  worker.join();
  ASSERT_EQ(late.size(), requests.size());
  for (std::size_t i = 0; i < requests.size(); ++i) EXPECT_EQ(late[i], respond(requests[i])) << i;
}

}  // namespace
}  // namespace quorvix::ffi
