#pragma once

namespace quavert {

struct Session;

/// Decodes track file.CurrentTrack of the working copy: Text2's lines, the report's meta-event
/// lines, one notes.dat record per event row (written in blocks of 100), and the decoder state.
/// Leaves LoadState 1 after a complete decode, 98 after the missing-byte repair (decode again),
/// 99 when it stopped with a message: an unusable event's, "ERROR: Unexpected end of track" when
/// the track's bytes run out before its end-of-track event (nothing outside the track's chunk is
/// read), or "Error:" and the number of a run-time error. Its files are closed in every case.
void DecodeTrack(Session& session);

}  // namespace quavert
