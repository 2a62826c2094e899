#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quavert {

class BinaryFile;

/// MIDI files are small; anything beyond this is no file a player should hold in memory.
constexpr std::int64_t kLargestPlayableFile = std::int64_t{64} << 20;

/// The playing length of a Standard MIDI File in ticks: the largest sum of delta times of one
/// track chunk, counted up to its end-of-track event. A damaged track counts up to the last
/// event that can be read whole; a file without a header chunk has length 0. Never throws for
/// what the file holds.
std::int64_t MidiLengthInTicks(BinaryFile& file);

/// An event that begins with F7: a packet of a system exclusive message, or an escape.
struct EscapeEvent {
  std::int64_t Position = 0;  ///< 1-based file position of its F7
  int LengthBytes = 0;        ///< bytes of its length, a variable-length quantity
  std::uint32_t Length = 0;   ///< data bytes after the length
  bool operator==(const EscapeEvent&) const = default;
};

/// The escape events that MidiLengthInTicks reads whole, in file order.
std::vector<EscapeEvent> EscapeEvents(BinaryFile& file);

/// FluidSynth refuses a whole file for a single escape event. Turns each of `escapes` in
/// `bytes` (the whole file) into a sequencer-specific meta event, which FluidSynth passes over,
/// of the same length: FF 7F, the length less one in as many bytes as before, and the data but
/// its first byte. An escape without data stays as it is.
void HideEscapes(std::string& bytes, const std::vector<EscapeEvent>& escapes);

}  // namespace quavert
