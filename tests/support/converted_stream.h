// Whole QVF streams through the C entry: the stream of a conversion, and the
// bytes every stream starts with, for tests that spell out the body.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "common/bytes.h"
#include "support/bytes.h"
#include "support/default_definitions.h"
#include "support/respond.h"

namespace quorvix::test_support {

// The QVF stream of a conversion, decoded from the response.
inline Bytes converted_stream(const std::string& tex) {
  const nlohmann::json request = {{"latex", tex}};
  const nlohmann::json response = nlohmann::json::parse(respond(request.dump()));
  EXPECT_TRUE(response.contains("result")) << tex << ": " << response.dump();
  if (!response.contains("result")) return {};
  const std::string digits = response["result"]["qvf"];
  return hx(digits);
}

// Header, TeX source record (short ASCII text) and the default definitions.
inline Bytes stream_start(const std::string& tex) {
  Bytes out = hx("05 01 00 07 08 \"QRVX7\" 00 01 66");
  out.push_back(static_cast<std::uint8_t>(20 + tex.size()));
  append_cstr(out, "TeX Input Language");
  append_cstr(out, tex);
  const Bytes defs = default_definitions();
  out.insert(out.end(), defs.begin(), defs.end());
  return out;
}

// The CHAR records of ASCII raw TeX (options 0x80, typeface byte 129), as hex text.
inline std::string raw_text_records(std::string_view text) {
  std::string records;
  for (const char c : text) records += "02 80 81 " + hex({static_cast<std::uint8_t>(c)}) + " 00 ";
  return records;
}

}  // namespace quorvix::test_support
