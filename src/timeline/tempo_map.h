#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quavert {

/// A tempo taking effect at a tick.
struct TempoChange {
  std::int64_t Tick = 0;
  std::int64_t Microseconds = 500000;  ///< per quarter note
  bool operator==(const TempoChange&) const = default;
};

/// A time signature taking effect at a tick.
struct MeterChange {
  std::int64_t Tick = 0;
  int Numerator = 4;
  int Denominator = 4;  ///< the note value of a beat: 1, 2, 4, 8...
  bool operator==(const MeterChange&) const = default;
};

/// What turns ticks into time and into bars and beats for a whole file.
struct TempoMap {
  /// Ticks per quarter note; for a file timed in frames, ticks per second (FramesPerSecond > 0).
  std::int64_t Division = 96;
  int FramesPerSecond = 0;  ///< 0 for a file timed in quarter notes
  std::vector<TempoChange> Tempos;  ///< ordered by tick; before the first, 120 beats per minute
  std::vector<MeterChange> Meters;  ///< ordered by tick; before the first, 4/4
};

/// Puts the changes in order of their ticks (keeping the file order of changes at one tick)
/// and lets the last change at a tick stand for that tick.
void SortChanges(TempoMap& map);

/// Seconds from tick 0 to `tick` (0 for a negative tick).
double SecondsAtTick(const TempoMap& map, std::int64_t tick);
/// The tick reached after `seconds`, rounded down (0 for a negative time).
std::int64_t TickAtSeconds(const TempoMap& map, double seconds);

/// A place counted in bars and beats, both from 1.
struct BarBeat {
  std::int64_t Bar = 1;
  std::int64_t Beat = 1;
  bool operator==(const BarBeat&) const = default;
};

/// The bar and beat that `tick` falls in. Each time signature begins a new bar where it stands.
BarBeat BarBeatAtTick(const TempoMap& map, std::int64_t tick);

/// The ticks of the bar lines from `from` through `to`, at most `most` of them.
std::vector<std::int64_t> BarLineTicks(const TempoMap& map, std::int64_t from, std::int64_t to, std::size_t most);

/// "mm:ss.t": minutes (two digits at least), seconds and tenths, rounded down to the tenth.
std::string PlayTimeText(double seconds);

/// "Bar B Beat b | mm:ss.t / mm:ss.t" for a place and the length of the song, both in ticks.
std::string PlacePositionText(const TempoMap& map, std::int64_t tick, std::int64_t length);

}  // namespace quavert
