#pragma once

#include <stdexcept>

namespace quavert {

class Progress;
struct Session;

/// Why a Save Track wrote nothing. The working copy is then exactly as it was.
class TrackNotSaved : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Writes the current track, as its rows in the editing buffers say, into the working copy:
/// the chunk up to the track's first timed event as it stands, the timed part rebuilt from the
/// rows over the track's own events, FF 2F 00, the rest of the file as it stands, and the
/// track's length field (all four bytes). The new file "dffhedc" is written whole and put on
/// disk, the working files get the buffers, and then "dffhedc" is renamed over the working copy
/// in one step; the system-exclusive positions and FileSize follow the new file and the chunks
/// are walked again. TrackNotSaved, with the reason, when the track has no rows, the buffers do
/// not hold them, the track no longer matches them, or a file cannot be read, written or renamed.
/// `progress` hears how far the rows were written, to the track and then to the working files.
void SaveTrack(Session& session, Progress* progress = nullptr);

/// The "Save Track" button: busy pointer, the media device closed, SaveTrack, then "Data saved!"
/// or "ERROR: Track not saved" with the reason on the next line, the device opened again on the
/// working copy and placed over the media frame, the pointer back.
void SaveTrackCommand(Session& session);

}  // namespace quavert
