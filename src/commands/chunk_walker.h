#pragma once

namespace quavert {

struct Session;

/// Rebuilds the track table from the working copy. Needs file.FileSize set to the working
/// copy's length and file.TotalTracks to the expected count. A track that does not end with
/// FF 2F 00 is reported (": Invalid Track Length ( k)"), closes all files and sets LoadState 99;
/// a foreign chunk or trailing bytes are reported and end the walk without failing it.
/// RunError 9 when the file has more than 72 track chunks.
void WalkTrackChunks(Session& session);

}  // namespace quavert
