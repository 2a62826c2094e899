#include "timeline/midi_length.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/binary_file.h"
#include "timeline/played_walk.h"

namespace quavert {
namespace {

constexpr std::uint8_t kMetaEvent = 0xFF;
constexpr std::uint8_t kSysexContinue = 0xF7;

// The longest track's ticks, and the escape events of all tracks.
std::int64_t WalkTracks(BinaryFile& file, std::vector<EscapeEvent>& escapes) {
  std::int64_t longest = 0;
  WalkChunks(file, [&](const std::string& id, std::int64_t first, std::int64_t size) {
    if (first == kFirstChunkData && id != "MThd") return false;
    if (id != "MTrk") return true;
    std::int64_t ticks = 0;
    WalkPlayedTrack(file, first, first + size - 1, false, [&](const PlayedEvent& event) {
      ticks = event.Tick;
      if (event.Status == kSysexContinue) escapes.push_back({event.Position, event.LengthBytes, event.Length});
      return true;
    });
    longest = std::max(longest, ticks);
    return true;
  });
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
