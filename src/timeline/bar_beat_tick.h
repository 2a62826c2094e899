#pragma once

#include <cstdint>
#include <string>

#include "timeline/tempo_map.h"

namespace quavert {

/// A place counted in bars and beats (both from 1) and the ticks into that beat (from 0).
struct BarBeatTick {
  std::int64_t Bar = 1;
  std::int64_t Beat = 1;
  std::int64_t Tick = 0;
  bool operator==(const BarBeatTick&) const = default;
};

/// Where `tick` (0 for a negative one) falls under the time signatures and the division of `map`.
/// Each time signature begins a new bar where it stands; a beat is the signature's note value.
BarBeatTick BarBeatTickAt(const TempoMap& map, std::int64_t tick);

/// "TICKS BAR:BEAT:TICK", as the list's Time column shows it ("1920 2:1:0"); ticks alone for a
/// file timed in frames, which has no bars.
std::string TimeCellText(const TempoMap& map, std::int64_t tick);

}  // namespace quavert
