#include "quorvix/dump_input.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "common/bytes.h"
#include "quorvix/cfb_reader.h"
#include "quorvix/text_format.h"

namespace quorvix::tools {

namespace {

constexpr std::size_t kFramingSize = 28;
constexpr std::string_view kNativeStreamName = "Equation Native";

std::string hex32(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", v);
  return buf;
}
std::string hex16(std::uint16_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(v));
  return buf;
}

bool is_space(std::uint8_t c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
int hex_value(std::uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The framing starts with its own size (28) and the version 0x00020000.
bool looks_framed(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= kFramingSize && load_u16le(bytes, 0) == kFramingSize &&
         load_u32le(bytes, 2) == 0x00020000;
}

bool looks_like_json(std::span<const std::uint8_t> bytes) {
  for (std::uint8_t c : bytes) {
    if (!is_space(c)) return c == '{';
  }
  return false;
}

// Strips the 28-byte framing, noting every field that differs from what the
// writer puts there.
Bytes unframe(std::span<const std::uint8_t> framed, std::vector<InputNote>& notes) {
  struct Field {
    std::size_t at;
    int width;
    std::uint32_t expected;
    std::string_view name;
  };
  static constexpr Field kFields[] = {{0, 2, 28, "header size"},
                                      {2, 4, 0x00020000, "version"},
                                      {6, 2, 0xC43F, "clipboard format"},
                                      {12, 4, 0, "reserved field"},
                                      {16, 4, 0x1744A27C, "constant at 16"},
                                      {20, 4, 0x0097AB5D, "constant at 20"},
                                      {24, 4, 0x08D8000C, "constant at 24"}};
  const std::uint32_t declared = load_u32le(framed, 8);
  const std::size_t present = framed.size() - kFramingSize;
  notes.push_back(
      {false, "Equation Native framing: 28-byte header, stream length " + std::to_string(declared)});
  for (const Field& f : kFields) {
    const std::uint32_t v = f.width == 2 ? load_u16le(framed, f.at) : load_u32le(framed, f.at);
    if (v != f.expected) {
      notes.push_back(
          {true, "framing " + std::string(f.name) + " is " +
                     (f.width == 2 ? hex16(static_cast<std::uint16_t>(v)) : hex32(v)) + ", expected " +
                     (f.width == 2 ? hex16(static_cast<std::uint16_t>(f.expected)) : hex32(f.expected))});
    }
  }
  std::size_t length = present;
  if (declared > present) {
    notes.push_back({true, "the framing declares " + std::to_string(declared) + " stream bytes but only " +
                               std::to_string(present) + " follow; decoding those"});
  } else if (declared < present) {
    notes.push_back({true, std::to_string(present - declared) + " bytes follow the " +
                               std::to_string(declared) +
                               " stream bytes the framing declares; they are not decoded"});
    length = declared;
  }
  return Bytes(framed.begin() + kFramingSize,
               framed.begin() + static_cast<std::ptrdiff_t>(kFramingSize + length));
}

Result<LoadedStream> load_compound_file(std::span<const std::uint8_t> bytes) {
  QV_ASSIGN_OR_RETURN(CompoundFileReader reader, CompoundFileReader::open(bytes));
  LoadedStream out;
  out.notes.push_back({false, "compound file of " + std::to_string(bytes.size()) + " bytes, " +
                                  std::to_string(reader.entries().size()) + " directory entries"});
  for (const CfbEntry& e : reader.entries()) {
    std::string kind = e.type == 5   ? "root storage"
                       : e.type == 2 ? "stream"
                       : e.type == 1 ? "storage"
                                     : "type " + std::to_string(e.type);
    out.notes.push_back({false, "  entry " + std::to_string(e.index) + " " + quote_text(e.name) + ": " +
                                    kind + ", " + std::to_string(e.size) + " bytes"});
  }
  const CfbEntry* native = reader.find_stream(kNativeStreamName);
  if (native == nullptr) return make_error("compound file: no \"Equation Native\" stream in the directory");
  QV_ASSIGN_OR_RETURN(Bytes framed, reader.read_stream(*native));
  if (!looks_framed(framed)) {
    out.notes.push_back({true,
                         "the \"Equation Native\" stream does not start with the 28-byte framing; decoding "
                         "it as a raw stream"});
    out.qvf = std::move(framed);
    out.origin = "compound file, stream \"Equation Native\" without framing";
    return out;
  }
  out.qvf = unframe(framed, out.notes);
  out.origin = "compound file, stream \"Equation Native\", framed";
  return out;
}

Result<LoadedStream> load_response(std::span<const std::uint8_t> bytes) {
  const nlohmann::json doc = nlohmann::json::parse(bytes.begin(), bytes.end(), nullptr, false);
  if (doc.is_discarded() || !doc.is_object())
    return make_error("the input starts with '{' but is not a JSON object");
  if (auto it = doc.find("error"); it != doc.end() && it->is_string()) {
    return make_error("the conversion response carries an error: " + it->get<std::string>());
  }
  auto result = doc.find("result");
  if (result == doc.end() || !result->is_object()) {
    return make_error("the JSON input has neither \"result\" nor \"error\"; expected a conversion response");
  }
  auto qvf = result->find("qvf");
  if (qvf == result->end() || !qvf->is_string())
    return make_error("the conversion response has no \"qvf\" string");
  const std::string& hex = qvf->get_ref<const std::string&>();
  QV_ASSIGN_OR_RETURN(Bytes stream,
                      decode_hex_text({reinterpret_cast<const std::uint8_t*>(hex.data()), hex.size()}));
  LoadedStream out;
  out.qvf = std::move(stream);
  out.origin = "conversion response, \"qvf\"";
  return out;
}

}  // namespace

bool looks_like_hex(std::span<const std::uint8_t> bytes) {
  std::size_t digits = 0;
  for (std::uint8_t c : bytes) {
    if (is_space(c)) continue;
    if (hex_value(c) < 0) return false;
    ++digits;
  }
  return digits >= 2 && digits % 2 == 0;
}

Result<Bytes> decode_hex_text(std::span<const std::uint8_t> bytes) {
  Bytes out;
  out.reserve(bytes.size() / 2);
  int high = -1;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint8_t c = bytes[i];
    if (is_space(c)) continue;
    const int v = hex_value(c);
    if (v < 0) {
      return make_error("hex text: character " + quote_bytes(bytes.subspan(i, 1)) + " at position " +
                        std::to_string(i) + " is not a hex digit");
    }
    if (high < 0) {
      high = v;
    } else {
      out.push_back(static_cast<std::uint8_t>(high * 16 + v));
      high = -1;
    }
  }
  if (high >= 0) return make_error("hex text: odd number of hex digits");
  if (out.empty()) return make_error("hex text: no hex digits");
  return out;
}

Result<LoadedStream> load_stream(std::span<const std::uint8_t> bytes, bool force_hex) {
  if (force_hex || (!has_compound_file_signature(bytes) && looks_like_hex(bytes))) {
    QV_ASSIGN_OR_RETURN(Bytes decoded, decode_hex_text(bytes));
    QV_ASSIGN_OR_RETURN(LoadedStream inner, load_stream(decoded, false));
    inner.origin = "hex text, " + inner.origin;
    return inner;
  }
  if (has_compound_file_signature(bytes)) return load_compound_file(bytes);
  if (looks_like_json(bytes)) return load_response(bytes);
  LoadedStream out;
  if (looks_framed(bytes)) {
    out.qvf = unframe(bytes, out.notes);
    out.origin = "Equation Native stream, framed";
    return out;
  }
  out.qvf.assign(bytes.begin(), bytes.end());
  out.origin = "raw stream";
  return out;
}

Result<Bytes> read_argument(const std::string& argument, std::string& source) {
  if (argument == "-") {
    source = "standard input";
    std::cin >> std::noskipws;
    Bytes data((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    return data;
  }
  std::error_code ec;
  // Anything that exists and is not a directory is read: files, and pipes
  // such as the /dev/fd paths of a shell's process substitution.
  if (std::filesystem::exists(argument, ec) && !std::filesystem::is_directory(argument, ec)) {
    source = argument;
    std::ifstream in(argument, std::ios::binary);
    Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return make_error("cannot read " + argument);
    return data;
  }
  const std::span<const std::uint8_t> text(reinterpret_cast<const std::uint8_t*>(argument.data()),
                                           argument.size());
  if (looks_like_hex(text)) {
    source = "hex argument";
    return Bytes(text.begin(), text.end());
  }
  return make_error("cannot read " + argument + ": no such file, and the argument is not a hex string");
}

}  // namespace quorvix::tools
