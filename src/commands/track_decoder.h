#pragma once

namespace quavert {

struct Session;

/// Decodes track file.CurrentTrack of the working copy (DecodeTrackBytes) into the session:
/// Text2's lines, the report's heading and meta-event lines, one notes.dat record per event row
/// (written in blocks of 100), the decoder state, the Edit frame's tempo. The repair questions
/// and messages are message boxes; the player is closed while the time-signature repair writes.
/// After the missing-byte repair the file is walked again and the track decoded again. Leaves
/// LoadState 1 after a complete decode and 99 when it stopped with a message (also when the
/// walk after the repair failed). Its files are closed in every case.
/// The decode shows its progress. When `stoppable`, the user may stop it until the working copy
/// is about to change: notes.dat is then as it was, no report line of the track's events was
/// written, and the caller puts back what the decode replaced (the decoder state, Text2, Text6,
/// the controls, the report's heading). False when it was stopped.
bool DecodeTrack(Session& session, bool stoppable = false);

}  // namespace quavert
