#pragma once

#include <cstdint>
#include <optional>

namespace quavert {

struct Session;

/// "Play": plays the file from the beginning, or from the device's position when paused, to its
/// end, and enables Pause and Stop. When the device refuses, its error text goes to the status
/// bar and Pause and Stop are left as the device's state wants them.
void PlayAction(Session& session);

/// "Pause": pauses playback (or, when paused, resumes it) and leaves only Play enabled.
void PauseAction(Session& session);

/// "Stop": stops playback (the device goes back to the beginning) and disables Pause and Stop.
void StopAction(Session& session);

/// "Play from Here": plays from `tick` to the end, whatever played before, and enables Pause and
/// Stop; a refusal is handled as Play's is.
void PlayFromAction(Session& session, std::int64_t tick);

/// Moves the playing place to `tick` ("Seek REDevid1 to TICKS"). Playback goes on from there;
/// when nothing plays, the device waits there as if paused, so that Play starts there. A refusal
/// shows the device's error text in the status bar and changes nothing.
void SeekAction(Session& session, std::int64_t tick);

/// Where the device is playing, in ticks, while something plays or is paused, or rests where a
/// seek left it: the answer to "Status REDevid1 position". Nothing otherwise or when the query
/// fails; the last command's error code stays as it was.
std::optional<std::int64_t> PlayedTick(Session& session);

/// The one-second status poll: while playing, asks the device for its mode; when the device
/// says "stopped", playback has ended and Pause and Stop are disabled. A failed query is ignored.
void Timer1Tick(Session& session);

}  // namespace quavert
