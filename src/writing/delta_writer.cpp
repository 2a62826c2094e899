#include "writing/delta_writer.h"

#include <algorithm>

#include "common/run_error.h"
#include "decoding/delta_time.h"

namespace quavert {
namespace {

constexpr std::int32_t kOneByte = 128;
constexpr std::int32_t kTwoBytes = 128 * 128;
constexpr std::int32_t kLargestGroup = 127;
constexpr int kMore = 0x80;  // set on every byte but the last

}  // namespace

void AppendDeltaTime(std::string& out, std::int32_t value) {
  if (value < 0 || value > kLargestDeltaTime) throw RunError(kOverflow);
  if (value < kOneByte) {
    out.push_back(static_cast<char>(value));
  } else if (value < kTwoBytes) {
    out.push_back(static_cast<char>(kMore + value / kOneByte));
    out.push_back(static_cast<char>(value % kOneByte));
  } else {
    // The decoder takes a third byte whole, so the top values leave the first two at 127.
    const std::int32_t high = std::min(value / kTwoBytes, kLargestGroup);
    const std::int32_t middle = std::min((value - kTwoBytes * high) / kOneByte, kLargestGroup);
    out.push_back(static_cast<char>(kMore + high));
    out.push_back(static_cast<char>(kMore + middle));
    out.push_back(static_cast<char>(value - kTwoBytes * high - kOneByte * middle));
  }
}

}  // namespace quavert
