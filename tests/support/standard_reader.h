#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quavert::testing {

/// One event as any Standard MIDI File reader sees it, whatever bytes it was written with.
struct StandardEvent {
  std::uint64_t tick = 0;  ///< absolute time
  int status = 0;          ///< the status in force (running or not); FF for meta events
  std::string data;        ///< channel data bytes; meta: the type byte, then the data; F0/F7: the data
};

/// One chunk of a file: its four-letter id, its data, and for "MTrk" chunks the events in it.
struct StandardChunk {
  std::string id;
  std::string data;
  std::vector<StandardEvent> events;  ///< up to and with the end of track
};

struct StandardFile {
  std::string header;  ///< the 14 bytes of "MThd"
  std::vector<StandardChunk> chunks;
  int longest_number = 0;         ///< bytes of the longest delta time or length in the tracks
  bool shortest_numbers = true;  ///< no delta time or length begins with a needless 80
};

/// Reads a file the way the MIDI standard describes it, independently of the program's own
/// code: chunks by their length field (all four bytes), delta times and lengths of up to four
/// bytes, running status after channel messages only, meta events with a variable-length
/// length. std::runtime_error for anything else.
StandardFile ReadStandardFile(std::string_view bytes);

/// What a save of track `track` (1-based) must keep, as ReadStandardFile reads `file`: the
/// header, every chunk's id, every other chunk byte for byte, and in that track every event's
/// time, status and bytes, one text a line.
std::vector<std::string> TrackMusic(std::string_view file, int track);

}  // namespace quavert::testing
