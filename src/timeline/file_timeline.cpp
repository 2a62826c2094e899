#include "timeline/file_timeline.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "decoding/event_rows.h"
#include "decoding/event_scanner.h"

namespace quavert {
namespace {

constexpr std::int64_t kChunkHeaderSize = 8;
constexpr std::int64_t kHeaderDivisionAt = 13;  // position of the division's first byte
constexpr std::uint8_t kMetaEvent = 0xFF;
constexpr std::uint8_t kEndOfTrack = 0x2F;
constexpr std::uint8_t kTempo = 0x51;
constexpr std::uint8_t kTimeSignature = 0x58;
constexpr std::uint8_t kSysexStart = 0xF0;
constexpr std::uint8_t kSysexContinue = 0xF7;
constexpr int kLongestQuantity = 4;
constexpr int kLargestMeterPower = 6;  // a beat of a 64th note

int ChannelDataBytes(std::uint8_t status) { return (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2; }

std::optional<std::uint32_t> ReadQuantity(ByteReader& reader) {
  std::uint32_t value = 0;
  for (int i = 0; i < kLongestQuantity; ++i) {
    const std::uint8_t byte = reader.U8();
    value = value << 7 | (byte & 0x7Fu);
    if ((byte & 0x80u) == 0) return value;
  }
  return std::nullopt;
}

// One event as the walk sees it: where it begins, its tick, and a meta event's type and data.
struct WalkedEvent {
  std::int64_t Position = 0;
  std::int64_t Tick = 0;
  int MetaType = -1;
  std::string Data;
};

// Walks the events of a track chunk's data, calling `visit` for each; stops when `visit` says
// so, at the end of the track, or at the first event that cannot be read whole.
void WalkTrack(BinaryFile& file, std::int64_t first, std::int64_t last,
               const std::function<bool(const WalkedEvent&)>& visit) {
  ByteReader reader(file, first, last);
  WalkedEvent event;
  std::uint8_t running = 0;
  try {
    while (!reader.AtEnd()) {
      const std::optional<std::uint32_t> delta = ReadQuantity(reader);
      if (!delta) return;
      event.Tick += *delta;
      event.Position = reader.Position();
      event.MetaType = -1;
      event.Data.clear();
      const std::uint8_t status = reader.U8();
      if (status == kMetaEvent) {
        event.MetaType = reader.U8();
        const std::optional<std::uint32_t> length = ReadQuantity(reader);
        if (!length) return;
        event.Data = reader.Bytes(*length);
      } else if (status == kSysexStart || status == kSysexContinue) {
        const std::optional<std::uint32_t> length = ReadQuantity(reader);
        if (!length) return;
        reader.Skip(*length);
      } else if (status >= kSysexStart) {
        return;
      } else if (status >= 0x80) {
        running = status;
        reader.Skip(ChannelDataBytes(status));
      } else if (running != 0) {
        reader.Skip(ChannelDataBytes(running) - 1);
      } else {
        return;
      }
      if (!visit(event) || event.MetaType == kEndOfTrack) return;
    }
  } catch (const ReadPastLimit&) {
    // What was read whole counts.
  }
}

std::uint8_t DataByte(const std::string& data, std::size_t at) { return static_cast<std::uint8_t>(data[at]); }

void TakeTimingEvent(const WalkedEvent& event, TempoMap& map) {
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
    const std::int64_t length = file.Length();
    std::int64_t chunk = 1;
    while (chunk + kChunkHeaderSize - 1 <= length) {
      ByteReader header(file, chunk, chunk + kChunkHeaderSize - 1);
      const std::string id = header.Bytes(4);
      const std::int64_t size = header.U32be();
      if (chunk == 1) {
        if (id != "MThd" || size < 6) return map;
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
      const std::int64_t body = chunk + kChunkHeaderSize;
      if (id == "MTrk")
        WalkTrack(file, body, body + size - 1, [&](const WalkedEvent& event) {
          TakeTimingEvent(event, map);
          return true;
        });
      chunk = body + size;
    }
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
