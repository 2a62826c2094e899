#pragma once

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

/// The one-second status poll: while playing, asks the device for its mode; when the device
/// says "stopped", playback has ended and Pause and Stop are disabled. A failed query is ignored.
void Timer1Tick(Session& session);

}  // namespace quavert
