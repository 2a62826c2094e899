#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quavert {

class BinaryFile;

/// One event as a player reads a track.
struct PlayedEvent {
  std::int64_t Position = 0;   ///< 1-based position of its status byte, or of its first data byte under running status
  std::int64_t Tick = 0;       ///< its absolute time: the sum of the delta times up to and with its own
  std::uint8_t Status = 0;     ///< the status in force; FF for meta events
  int MetaType = -1;           ///< meta events: the type byte
  std::string Data;            ///< meta events, when asked for: their data
  int LengthBytes = 0;         ///< meta and system-exclusive events: bytes of the length
  std::uint32_t Length = 0;    ///< meta and system-exclusive events: data bytes after the length
};

/// Walks the data of a track chunk, positions `first` through `last`, as a player reads it:
/// delta times and lengths of at most four bytes, running status after channel messages only,
/// meta events with a variable-length length. Calls `visit` for each event read whole (meta data
/// kept when `keep_meta_data`); stops after the end of track, when `visit` returns false, or at
/// the first event that cannot be read whole. Never throws for what the file holds.
void WalkPlayedTrack(BinaryFile& file, std::int64_t first, std::int64_t last, bool keep_meta_data,
                     const std::function<bool(const PlayedEvent&)>& visit);

/// Where the data of a file's first chunk, its header, begins.
inline constexpr std::int64_t kFirstChunkData = 9;

/// Calls `visit` with each chunk's four-letter id, the position of its first data byte and its
/// 32-bit length, in file order, passing each chunk by its length; stops when `visit` returns
/// false or no whole chunk header is left. Never throws for what the file holds.
void WalkChunks(BinaryFile& file,
                const std::function<bool(const std::string& id, std::int64_t first, std::int64_t size)>& visit);

}  // namespace quavert
