#include "decoding/delta_time.h"

#include "common/byte_reader.h"

namespace quavert {

std::int32_t ReadDeltaTime(ByteReader& reader) {
  const std::int32_t b1 = reader.U8();
  if (b1 < 128) return b1;
  const std::int32_t b2 = reader.U8();
  if (b2 < 128) return (b1 - 128) * 128 + b2;
  const std::int32_t b3 = reader.U8();
  return (b1 - 128) * 16384 + (b2 - 128) * 128 + b3;
}

}  // namespace quavert
