#pragma once

#include <cstdint>

namespace quavert {

struct Session;

/// Name, in the application folder, of the file the repaired working copy is written to before
/// it takes the working copy's place.
inline constexpr const char* kRepairFileName = "quavert-repair.tmp";

/// The status byte inserted where a note's status is missing: a note-on for channel 1.
inline constexpr std::uint8_t kInsertedStatus = 0x90;

/// Inserts kInsertedStatus at `position` of the working copy (the byte there and all after it
/// move on by one) and writes the current track's new data length, one more than its chunk held,
/// into all four bytes of its size field. file.FileSize becomes the new length. The new file
/// is written beside the working copy and replaces it only when complete, so a failure (a
/// RunError) leaves the working copy as it was; memory does not grow with the file.
void InsertMissingStatusByte(Session& session, std::int64_t position);

}  // namespace quavert
