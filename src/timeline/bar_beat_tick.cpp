#include "timeline/bar_beat_tick.h"

#include <algorithm>

#include "common/number_text.h"

namespace quavert {
namespace {

constexpr std::int64_t kQuarterNotesPerWhole = 4;

std::int64_t BeatTicksOf(const TempoMap& map, const MeterChange& meter) {
  const std::int64_t denominator = std::max(meter.Denominator, 1);
  return std::max<std::int64_t>(map.Division * kQuarterNotesPerWhole / denominator, 1);
}

}  // namespace

BarBeatTick BarBeatTickAt(const TempoMap& map, std::int64_t tick) {
  tick = std::max<std::int64_t>(tick, 0);
  MeterChange meter;  // 4/4 until the first signature
  std::int64_t bars_before = 0;
  for (const MeterChange& next : map.Meters) {
    if (next.Tick > tick) break;
    if (next.Tick > meter.Tick) {
      const std::int64_t bar = BeatTicksOf(map, meter) * std::max(meter.Numerator, 1);
      // A signature in the middle of a bar cuts that bar short.
      bars_before += (next.Tick - meter.Tick + bar - 1) / bar;
    }
    meter = next;
  }
  const std::int64_t beat = BeatTicksOf(map, meter);
  const std::int64_t bar = beat * std::max(meter.Numerator, 1);
  const std::int64_t into = tick - meter.Tick;
  return {bars_before + into / bar + 1, into % bar / beat + 1, into % bar % beat};
}

std::string TimeCellText(const TempoMap& map, std::int64_t tick) {
  std::string text = PlainNumber(tick);
  if (map.FramesPerSecond > 0) return text;
  const BarBeatTick place = BarBeatTickAt(map, tick);
  return text + ' ' + PlainNumber(place.Bar) + ':' + PlainNumber(place.Beat) + ':' + PlainNumber(place.Tick);
}

}  // namespace quavert
