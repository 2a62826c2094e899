#include "decoding/delta_time.h"

#include "common/byte_reader.h"

namespace quavert {
namespace {
constexpr std::int32_t kMore = 0x80;  // set on every byte of the number but the last
constexpr int kLongest = 4;
}  // namespace

std::int32_t ReadDeltaTime(ByteReader& reader) {
  std::int32_t value = 0;
  for (int count = 1;; ++count) {
    const std::int32_t byte = reader.U8();
    if (count == kLongest) return value * 128 + byte;
    value = value * 128 + (byte & ~kMore);
    if (byte < kMore) return value;
  }
}

}  // namespace quavert
