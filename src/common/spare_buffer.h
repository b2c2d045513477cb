// Buffers kept per thread from one conversion to the next.
//
// A conversion needs a handful of buffers whose size hardly changes from one
// formula to the next: the decoded characters, the normalised text, the
// equation stream and the compound file. Each kind has one slot per thread.
// take() hands out the slot's buffer, emptied but with its memory, and
// give_back() returns a buffer to the slot after its contents have been
// used, so that the next conversion on the thread writes into memory it
// already has instead of asking the allocator again.
//
// Nothing depends on a buffer coming back: a buffer that is never given
// back is released as usual, and take() on an empty slot gives a new empty
// buffer. A buffer whose capacity is past kMaxKeptBytes is released instead
// of kept, so a thread holds at most a few hundred kilobytes between calls
// whatever it once converted.
#pragma once

#include <cstddef>
#include <new>
#include <string>
#include <type_traits>

#include "common/bytes.h"
#include "common/thread_object.h"

namespace quorvix {

inline constexpr std::size_t kMaxKeptBytes = std::size_t{64} << 10;
inline constexpr std::size_t kMinimumStringCapacity = 128;

// `Tag` tells apart slots of the same buffer type.
template <class Buffer, class Tag>
class SpareBuffer {
 public:
  // An empty buffer: the slot's, or a new one when the slot is empty.
  //
  // A byte string handed out always has memory of its own, at least
  // kMinimumStringCapacity characters: a string short enough for its inline
  // storage would be copied, not handed over, by each move on its way
  // through a conversion, and most formulas are that short. Should that
  // memory not be had, the string is handed out without it.
  static Buffer take() noexcept {
    Buffer buffer;
    if (Buffer* kept = slot()) buffer.swap(*kept);
    buffer.clear();
    if constexpr (kIsString) {
      if (buffer.capacity() < kMinimumStringCapacity) {
        try {
          buffer.reserve(kMinimumStringCapacity);
        } catch (const std::bad_alloc&) {
        }
      }
    }
    return buffer;
  }

  // Keeps `buffer`'s memory for the next take() on this thread when it is
  // within the bound and larger than what the slot holds; `buffer` is left
  // empty either way (its memory released when it is not kept).
  static void give_back(Buffer& buffer) noexcept {
    Buffer* const kept = slot();
    if (kept != nullptr && buffer.capacity() * sizeof(typename Buffer::value_type) <= kMaxKeptBytes &&
        buffer.capacity() > kept->capacity()) {
      buffer.clear();
      kept->swap(buffer);
    }
    Buffer().swap(buffer);
  }

  // The memory the slot holds now, in elements (for tests).
  static std::size_t kept_capacity() noexcept {
    const Buffer* const kept = slot();
    return kept != nullptr ? kept->capacity() : 0;
  }

 private:
  // The byte strings (request and normalised text), which are moved from
  // stage to stage; the decoded characters stay in their parser.
  static constexpr bool kIsString = std::is_same_v<Buffer, std::string>;

  // The thread's buffer; null while the thread ends, once it is destroyed.
  static Buffer* slot() noexcept { return ThreadObject<Buffer, SpareBuffer>::get(); }
};

struct DecodedCharsTag;
struct NormalizedTextTag;
struct RequestTextTag;
struct QvfStreamTag;
struct CompoundFileTag;

// The characters of the text a top-level parser reads.
using SpareChars = SpareBuffer<std::u32string, DecodedCharsTag>;
// The normalised TeX of a conversion.
using SpareNormalizedText = SpareBuffer<std::string, NormalizedTextTag>;
// The TeX text decoded from a request.
using SpareRequestText = SpareBuffer<std::string, RequestTextTag>;
// The equation stream.
using SpareQvfStream = SpareBuffer<Bytes, QvfStreamTag>;
// The compound file.
using SpareCompoundFile = SpareBuffer<Bytes, CompoundFileTag>;

}  // namespace quorvix
