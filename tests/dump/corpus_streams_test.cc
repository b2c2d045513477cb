// Every stream the library writes for the corpus must be one the inspector
// follows to its closing END without a warning: a cross-check of the writer
// against an independent reading of the record layouts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "quorvix/dump_input.h"
#include "quorvix/qvf_inspect.h"
#include "support/respond.h"

namespace quorvix::tools {
namespace {

TEST(CorpusStreams, EveryWrittenStreamDecodesCompletely) {
  std::size_t streams = 0;
  for (const auto& item : std::filesystem::directory_iterator(QUORVIX_CORPUS_DIR)) {
    if (item.path().extension() != ".jsonl") continue;
    std::ifstream in(item.path());
    std::string line;
    while (std::getline(in, line)) {
      const nlohmann::json doc = nlohmann::json::parse(line, nullptr, false);
      if (doc.is_discarded() || !doc.contains("latex")) continue;
      const std::string request = nlohmann::json{{"latex", doc["latex"]}}.dump();
      const nlohmann::json response = nlohmann::json::parse(test_support::respond(request), nullptr, false);
      if (!response.contains("result")) continue;
      const std::string hex = response["result"]["qvf"].get<std::string>();
      const auto stream = decode_hex_text({reinterpret_cast<const std::uint8_t*>(hex.data()), hex.size()});
      ASSERT_TRUE(stream.ok()) << doc["id"];
      const Listing listing = inspect_qvf(*stream);
      ++streams;
      EXPECT_TRUE(listing.complete) << doc["id"] << ": stopped at " << listing.error_offset << ": "
                                    << listing.error_reason;
      for (const ListingLine& l : listing.lines) {
        EXPECT_NE(l.kind, LineKind::kWarning) << doc["id"] << " at " << l.offset << ": " << l.text;
      }
    }
  }
  EXPECT_GT(streams, 0u);
}

}  // namespace
}  // namespace quorvix::tools
