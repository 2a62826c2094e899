#include "playback/midi_length.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "decoding/event_scanner.h"

namespace quavert {
namespace {

constexpr std::int64_t kChunkHeaderSize = 8;  // four-letter id and a 32-bit length
constexpr std::uint8_t kMetaEvent = 0xFF;
constexpr std::uint8_t kEndOfTrack = 0x2F;
constexpr std::uint8_t kSysexStart = 0xF0;
constexpr std::uint8_t kSysexContinue = 0xF7;
constexpr int kLongestDeltaTime = 4;  // bytes of the longest variable-length quantity

// A variable-length quantity; nothing when it runs on past four bytes.
std::optional<std::uint32_t> ReadQuantity(ByteReader& reader) {
  std::uint32_t value = 0;
  for (int i = 0; i < kLongestDeltaTime; ++i) {
    const std::uint8_t byte = reader.U8();
    value = value << 7 | (byte & 0x7Fu);
    if ((byte & 0x80u) == 0) return value;
  }
  return std::nullopt;
}

// The sum of the delta times of the events from `first` through `last`, up to the end of the
// track or the first event that cannot be read; the escape events read whole go to `escapes`.
std::int64_t TrackTicks(BinaryFile& file, std::int64_t first, std::int64_t last, std::vector<EscapeEvent>& escapes) {
  ByteReader reader(file, first, last);
  std::int64_t ticks = 0;
  std::uint8_t running = 0;  // status of the last channel message, 0 when there is none
  try {
    while (!reader.AtEnd()) {
      const std::optional<std::uint32_t> delta = ReadQuantity(reader);
      if (!delta) break;
      const std::uint8_t status = reader.U8();
      if (status == kMetaEvent) {
        const std::uint8_t type = reader.U8();
        const std::optional<std::uint32_t> length = ReadQuantity(reader);
        if (!length) break;
        reader.Skip(*length);
        if (type == kEndOfTrack) return ticks + *delta;
      } else if (status == kSysexStart || status == kSysexContinue) {
        const std::int64_t length_at = reader.Position();
        const std::optional<std::uint32_t> length = ReadQuantity(reader);
        if (!length) break;
        const auto length_bytes = static_cast<int>(reader.Position() - length_at);
        reader.Skip(*length);
        if (status == kSysexContinue) escapes.push_back({length_at - 1, length_bytes, *length});
      } else if (status >= kSysexStart) {
        break;  // no other system message belongs in a file
      } else if (status >= 0x80) {
        running = status;
        reader.Skip(ChannelDataBytes(status));
      } else if (running != 0) {
        // Running status: the byte just read was the message's first data byte.
        reader.Skip(ChannelDataBytes(running) - 1);
      } else {
        break;
      }
      ticks += *delta;
    }
  } catch (const ReadPastLimit&) {
    // The track ends inside an event: what was read whole counts.
  }
  return ticks;
}

// The longest track's ticks, and the escape events of all tracks.
std::int64_t WalkTracks(BinaryFile& file, std::vector<EscapeEvent>& escapes) {
  const std::int64_t length = file.Length();
  std::int64_t longest = 0;
  std::int64_t chunk = 1;
  while (chunk + kChunkHeaderSize - 1 <= length) {
    ByteReader header(file, chunk, chunk + kChunkHeaderSize - 1);
    const std::string id = header.Bytes(4);
    const std::int64_t size = header.U32be();
    if (chunk == 1 && id != "MThd") return 0;
    const std::int64_t body = chunk + kChunkHeaderSize;
    if (id == "MTrk") longest = std::max(longest, TrackTicks(file, body, body + size - 1, escapes));
    chunk = body + size;
  }
  return longest;
}

// `value` as a variable-length quantity of exactly `size` bytes (leading groups of zero bits
// included); `value` must fit.
void PutQuantity(std::string& bytes, std::size_t at, std::uint32_t value, int size) {
  for (int i = size - 1; i >= 0; --i, value >>= 7)
    bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value & 0x7Fu) | (i == size - 1 ? 0u : 0x80u));
}

}  // namespace

std::int64_t MidiLengthInTicks(BinaryFile& file) {
  std::vector<EscapeEvent> escapes;
  return WalkTracks(file, escapes);
}

std::vector<EscapeEvent> EscapeEvents(BinaryFile& file) {
  std::vector<EscapeEvent> escapes;
  WalkTracks(file, escapes);
  return escapes;
}

void HideEscapes(std::string& bytes, const std::vector<EscapeEvent>& escapes) {
  constexpr char kSequencerSpecific = 0x7F;
  for (const EscapeEvent& escape : escapes) {
    const auto at = static_cast<std::size_t>(escape.Position - 1);
    const auto end = at + 1 + static_cast<std::size_t>(escape.LengthBytes) + escape.Length;
    if (escape.Length == 0 || end > bytes.size() || bytes[at] != static_cast<char>(kSysexContinue)) continue;
    // F7, the length and the first data byte become FF 7F and the length less one, in as many
    // bytes as before: the rest of the data and everything after it stay where they are.
    bytes[at] = static_cast<char>(kMetaEvent);
    bytes[at + 1] = kSequencerSpecific;
    PutQuantity(bytes, at + 2, escape.Length - 1, escape.LengthBytes);
  }
}

}  // namespace quavert
