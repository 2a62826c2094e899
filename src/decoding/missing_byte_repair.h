#pragma once

#include <cstdint>
#include <string>

#include "loading/chunk_headers.h"

namespace quavert {

/// Name, in the application folder, of the file the repaired working copy is written to before
/// it takes the working copy's place.
inline constexpr const char* kRepairFileName = "quavert-repair.tmp";

/// The status byte inserted where a note's status is missing: a note-on for channel 1.
inline constexpr std::uint8_t kInsertedStatus = 0x90;

/// Inserts kInsertedStatus at `position` of the file at `work_copy` (the byte there and all after
/// it move on by one) and writes the new data length of the track chunk whose header `chunk`
/// begins at `chunk_start`, one more than it held, into all four bytes of its size field. Returns
/// the file's new length. The new file is written to `repair_path` and replaces the working copy
/// only when complete, so a failure (a RunError) leaves the working copy as it was; memory does
/// not grow with the file.
std::int64_t InsertMissingStatusByte(const std::string& work_copy, const std::string& repair_path,
                                     const TrackChunk& chunk, std::int64_t chunk_start, std::int64_t position);

}  // namespace quavert
