#include "timeline/file_timeline.h"

#include <string>

#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "decoding/event_rows.h"
#include "decoding/event_scanner.h"
#include "timeline/played_walk.h"

namespace quavert {
namespace {

constexpr std::int64_t kHeaderDivisionAt = 13;  // position of the division's first byte
constexpr int kTempo = 0x51;
constexpr int kTimeSignature = 0x58;
constexpr int kLargestMeterPower = 6;  // a beat of a 64th note

std::uint8_t DataByte(const std::string& data, std::size_t at) { return static_cast<std::uint8_t>(data[at]); }

void TakeTimingEvent(const PlayedEvent& event, TempoMap& map) {
  if (event.MetaType == kTempo && event.Data.size() >= 3) {
    const std::int64_t micros = DataByte(event.Data, 0) << 16 | DataByte(event.Data, 1) << 8 | DataByte(event.Data, 2);
    if (micros > 0) map.Tempos.push_back({event.Tick, micros});
  } else if (event.MetaType == kTimeSignature && event.Data.size() >= 2) {
    const int numerator = DataByte(event.Data, 0);
    const int power = DataByte(event.Data, 1);
    if (numerator > 0 && power <= kLargestMeterPower) map.Meters.push_back({event.Tick, numerator, 1 << power});
  }
}

}  // namespace

TempoMap ReadTempoMap(BinaryFile& file) {
  TempoMap map;
  try {
    WalkChunks(file, [&](const std::string& id, std::int64_t first, std::int64_t size) {
      if (first == kFirstChunkData) {
        if (id != "MThd" || size < 6) return false;
        ByteReader division(file, kHeaderDivisionAt, kHeaderDivisionAt + 1);
        const std::uint16_t value = division.U16be();
        if ((value & 0x8000u) != 0) {
          // Frames a second (the negated high byte) times ticks a frame.
          map.FramesPerSecond = 256 - (value >> 8);
          map.Division = std::max(map.FramesPerSecond * (value & 0xFF), 1);
        } else {
          map.Division = std::max<std::int64_t>(value, 1);
        }
      }
      if (id == "MTrk")
        WalkPlayedTrack(file, first, first + size - 1, true, [&](const PlayedEvent& event) {
          TakeTimingEvent(event, map);
          return true;
        });
      return true;
    });
  } catch (const ReadPastLimit&) {
  }
  SortChanges(map);
  return map;
}

RowTiming ReadRowTiming(BinaryFile& file, std::int64_t first, std::int64_t last) {
  RowTiming timing;
  timing.Extra.push_back(0);
  try {
    ByteReader reader(file, first, last);
    EventScanner scanner(reader);
    std::int64_t tick = std::max(scanner.Start().value, 0);
    bool begun = false;
    // Ticks since the last row's event, less that row's own delta.
    std::int64_t pending = 0;
    for (ScannedEvent event; scanner.Next(event);) {
      const bool row = GetsRow(event, begun);
      if (!begun && StartsTimedPart(event)) begun = true;
      if (event.problem != ScanProblem::kNone || event.kind == ScannedKind::kEndOfTrack) break;
      const std::int64_t delta = std::max(event.delta.value, 0);
      if (row) {
        if (timing.Rows == 0) timing.FirstTick = tick;
        timing.Extra.back() += pending;
        timing.Extra.push_back(0);
        ++timing.Rows;
        pending = 0;
      } else if (timing.Rows > 0) {
        pending += delta;
      }
      tick += delta;
    }
    timing.Extra.back() += pending;
  } catch (const ReadPastLimit&) {
    // The decode stops where the bytes do.
  }
  return timing;
}

}  // namespace quavert
