#include "qvf/stream/equation_native.h"

#include "common/bytes.h"
#include "qvf/stream/stream.h"

namespace quorvix::qvf {
namespace {

constexpr std::uint16_t kHeaderSize = kEquationNativeHeaderSize;
constexpr std::uint32_t kVersion = 0x00020000;
constexpr std::uint16_t kClipboardFormat = 0xC43F;
// Fixed trailing words of the header that readers expect as they are.
constexpr std::uint32_t kTrailer[3] = {0x1744A27C, 0x0097AB5D, 0x08D8000C};

}  // namespace

Result<EquationNativeHeader> equation_native_header(std::uint64_t stream_length) {
  EquationNativeHeader h{};
  QV_RETURN_IF_ERROR(fill_equation_native_header(stream_length, h));
  return h;
}

Status fill_equation_native_header(std::uint64_t stream_length, EquationNativeHeader& h) {
  if (stream_length > 0xFFFFFFFFull) return make_error("QVF stream is too large");
  store_u16le(h, 0, kHeaderSize);
  store_u32le(h, 2, kVersion);
  store_u16le(h, 6, kClipboardFormat);
  store_u32le(h, 8, static_cast<std::uint32_t>(stream_length));
  store_u32le(h, 12, 0);
  store_u32le(h, 16, kTrailer[0]);
  store_u32le(h, 20, kTrailer[1]);
  store_u32le(h, 24, kTrailer[2]);
  return Status();
}

Result<Bytes> write_equation_native(const Bytes& qvf) {
  QV_ASSIGN_OR_RETURN(const EquationNativeHeader header, equation_native_header(qvf.size()));
  Bytes out;
  out.reserve(header.size() + qvf.size());
  out.insert(out.end(), header.begin(), header.end());
  out.insert(out.end(), qvf.begin(), qvf.end());
  return out;
}

}  // namespace quorvix::qvf
