#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "decoding/row_places.h"

namespace quavert {

struct Session;

/// The chosen track's chunk as the working copy holds it, and where the listed rows' events lie
/// in it: what the window's byte views show.
struct TrackBytes {
  std::string Chunk;              ///< the chunk header and data, as far as the working copy holds them
  std::int64_t ChunkPos = 0;      ///< 1-based working-copy position of Chunk[0]; 0 for no track
  std::int64_t FileShift = 0;     ///< where the working copy lies in the file opened (an RMID file's data chunk)
  std::int64_t InsertedPos = 0;   ///< working-copy position of the status byte a repair inserted; 0 for none
  std::vector<RowPlace> Places;   ///< one per row the track's decode gives, in working-copy positions

  /// The 0-based offset in the file opened of working-copy position `pos`; none for the byte a
  /// repair inserted, which the file does not have.
  std::optional<std::int64_t> FileOffset(std::int64_t pos) const;
  /// The working-copy position of the file opened's 0-based `offset`.
  std::int64_t WorkPos(std::int64_t offset) const;
  /// The 0-based row whose event's bytes hold working-copy position `pos`; -1 for none.
  std::int64_t RowHolding(std::int64_t pos) const;
  /// The 0-based row that owns `pos`: the row whose event holds it, or the row after the delta
  /// times and row-less events it lies among; -1 outside the rows' events.
  std::int64_t RowOwning(std::int64_t pos) const;
  /// The row's event, as the file opened has it: its 0-based offset, its bytes; none for a row
  /// that stands for no single event of the file (no place, or holding an inserted byte).
  std::optional<std::int64_t> RowOffset(std::size_t row) const;
  std::string RowBytes(std::size_t row) const;
};

/// The chosen track of the session's working copy: its chunk and its rows' places. Empty (no
/// chunk, no places) when no track is decoded or the working copy cannot be read. `opened` is the
/// file the user opened, read for where an RMID file's data lies.
TrackBytes ReadTrackBytes(const Session& session, const std::string& opened);


}  // namespace quavert
