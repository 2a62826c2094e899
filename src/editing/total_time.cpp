#include "editing/total_time.h"

#include <cmath>

#include "common/number_text.h"

namespace quavert {
namespace {

constexpr double kUnknownTiming = -1;
// Beyond this many sixtieths of a second (about 4.8 million years) the total is not worth a number.
constexpr double kLongestTotal = 9.0e18;

std::string TwoDigits(std::int64_t n) { return n < 10 ? "0" + PlainNumber(n) : PlainNumber(n); }

}  // namespace

TotalTimeLines TotalTime(std::int64_t total_ticks, double tick_minutes) {
  const double sixtieths = RoundHalfEven(static_cast<double>(total_ticks) * tick_minutes);
  if (tick_minutes == kUnknownTiming || !(sixtieths >= 0 && sixtieths < kLongestTotal))
    return {"       Total time        : ?", "        Total Time: ?"};
  const std::int64_t seconds = static_cast<std::int64_t>(sixtieths) / 60 + 1;
  const std::string time = TwoDigits(seconds / 60) + "." + TwoDigits(seconds % 60);
  return {"       Total Time        : " + time, "        Total Time: " + time};
}

}  // namespace quavert
