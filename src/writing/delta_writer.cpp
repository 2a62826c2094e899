#include "writing/delta_writer.h"

#include "common/run_error.h"
#include "decoding/delta_time.h"

namespace quavert {
namespace {

constexpr int kMore = 0x80;  // set on every byte but the last
constexpr int kGroupBits = 7;
constexpr std::int32_t kLargestGroup = 127;
// FF FF FF read as the first three bytes of a number: the fourth byte is added whole to this.
constexpr std::int32_t kThreeFullGroups = kLargestGroup << 21 | kLargestGroup << 14 | kLargestGroup << 7;

}  // namespace

void AppendDeltaTime(std::string& out, std::int32_t value) {
  if (value < 0 || value > kLargestDeltaTime) throw RunError(kOverflow);
  if (value > kLargestVariableLength) {
    out.append(3, static_cast<char>(0xFF));
    out.push_back(static_cast<char>(value - kThreeFullGroups));
    return;
  }
  int shift = 0;
  while (shift < 3 * kGroupBits && value >> (shift + kGroupBits) != 0) shift += kGroupBits;
  for (; shift > 0; shift -= kGroupBits) out.push_back(static_cast<char>(kMore | (value >> shift & kLargestGroup)));
  out.push_back(static_cast<char>(value & kLargestGroup));
}

}  // namespace quavert
