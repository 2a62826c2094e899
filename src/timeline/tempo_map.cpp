#include "timeline/tempo_map.h"

#include <algorithm>
#include <cmath>

#include "common/number_text.h"

namespace quavert {
namespace {

constexpr double kMicrosecondsPerSecond = 1e6;
constexpr std::int64_t kQuarterNotesPerWhole = 4;

template <typename Change>
void SortAndKeepLast(std::vector<Change>& changes) {
  std::stable_sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) { return a.Tick < b.Tick; });
  std::vector<Change> kept;
  for (const Change& change : changes) {
    if (!kept.empty() && kept.back().Tick == change.Tick)
      kept.back() = change;
    else
      kept.push_back(change);
  }
  changes = std::move(kept);
}

// Seconds a tick lasts under `microseconds` per quarter note.
double TickSeconds(const TempoMap& map, std::int64_t microseconds) {
  const double division = static_cast<double>(std::max<std::int64_t>(map.Division, 1));
  if (map.FramesPerSecond > 0) return 1.0 / division;
  return static_cast<double>(microseconds) / kMicrosecondsPerSecond / division;
}

// Ticks of a beat and of a bar under one time signature; never 0.
std::int64_t BeatTicks(const TempoMap& map, const MeterChange& meter) {
  const std::int64_t denominator = std::max(meter.Denominator, 1);
  return std::max<std::int64_t>(map.Division * kQuarterNotesPerWhole / denominator, 1);
}
std::int64_t BarTicks(const TempoMap& map, const MeterChange& meter) {
  return BeatTicks(map, meter) * std::max(meter.Numerator, 1);
}

// The time signatures with the default 4/4 in front when the first comes after tick 0.
std::vector<MeterChange> MetersFromZero(const TempoMap& map) {
  std::vector<MeterChange> meters;
  if (map.Meters.empty() || map.Meters.front().Tick > 0) meters.push_back({});
  meters.insert(meters.end(), map.Meters.begin(), map.Meters.end());
  return meters;
}

}  // namespace

void SortChanges(TempoMap& map) {
  SortAndKeepLast(map.Tempos);
  SortAndKeepLast(map.Meters);
}

double SecondsAtTick(const TempoMap& map, std::int64_t tick) {
  double seconds = 0;
  std::int64_t at = 0;
  std::int64_t tempo = TempoChange{}.Microseconds;
  for (const TempoChange& change : map.Tempos) {
    if (change.Tick >= tick) break;
    seconds += static_cast<double>(change.Tick - at) * TickSeconds(map, tempo);
    at = change.Tick;
    tempo = change.Microseconds;
  }
  return seconds + static_cast<double>(std::max<std::int64_t>(tick - at, 0)) * TickSeconds(map, tempo);
}

std::int64_t TickAtSeconds(const TempoMap& map, double seconds) {
  if (!(seconds > 0)) return 0;
  double elapsed = 0;
  std::int64_t at = 0;
  std::int64_t tempo = TempoChange{}.Microseconds;
  for (const TempoChange& change : map.Tempos) {
    const double next = elapsed + static_cast<double>(change.Tick - at) * TickSeconds(map, tempo);
    if (next > seconds) break;
    elapsed = next;
    at = change.Tick;
    tempo = change.Microseconds;
  }
  // A little over the exact quotient, so that a time taken from a tick gives that tick back.
  return at + static_cast<std::int64_t>(std::floor((seconds - elapsed) / TickSeconds(map, tempo) + 1e-6));
}

BarBeat BarBeatAtTick(const TempoMap& map, std::int64_t tick) {
  const std::vector<MeterChange> meters = MetersFromZero(map);
  std::int64_t bars_before = 0;
  for (std::size_t i = 0; i < meters.size(); ++i) {
    const MeterChange& meter = meters[i];
    const std::int64_t bar = BarTicks(map, meter);
    const bool last = i + 1 == meters.size() || meters[i + 1].Tick > tick;
    if (last) {
      const std::int64_t into = std::max<std::int64_t>(tick - meter.Tick, 0);
      return {bars_before + into / bar + 1, into % bar / BeatTicks(map, meter) + 1};
    }
    // A signature that comes in the middle of a bar cuts that bar short.
    bars_before += (meters[i + 1].Tick - meter.Tick + bar - 1) / bar;
  }
  return {};
}

std::vector<std::int64_t> BarLineTicks(const TempoMap& map, std::int64_t from, std::int64_t to, std::size_t most) {
  std::vector<std::int64_t> lines;
  const std::vector<MeterChange> meters = MetersFromZero(map);
  for (std::size_t i = 0; i < meters.size() && lines.size() < most; ++i) {
    const std::int64_t start = meters[i].Tick;
    const std::int64_t end = i + 1 < meters.size() ? meters[i + 1].Tick : to + 1;
    if (end <= from) continue;
    if (start > to) break;
    const std::int64_t bar = BarTicks(map, meters[i]);
    std::int64_t line = start + std::max<std::int64_t>(from - start + bar - 1, 0) / bar * bar;
    for (; line < end && line <= to && lines.size() < most; line += bar) lines.push_back(line);
  }
  return lines;
}

std::string PlayTimeText(double seconds) {
  const auto tenths = static_cast<std::int64_t>(std::floor(std::max(seconds, 0.0) * 10 + 1e-6));
  const std::int64_t minutes = tenths / 600;
  const std::int64_t rest = tenths % 600;
  std::string text = minutes < 10 ? "0" : "";
  text += PlainNumber(minutes) + ":";
  if (rest < 100) text += "0";
  return text + PlainNumber(rest / 10) + "." + PlainNumber(rest % 10);
}

std::string PlacePositionText(const TempoMap& map, std::int64_t tick, std::int64_t length) {
  const BarBeat place = BarBeatAtTick(map, tick);
  return "Bar " + PlainNumber(place.Bar) + " Beat " + PlainNumber(place.Beat) + " | " +
         PlayTimeText(SecondsAtTick(map, tick)) + " / " + PlayTimeText(SecondsAtTick(map, length));
}

}  // namespace quavert
