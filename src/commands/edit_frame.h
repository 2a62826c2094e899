#pragma once

#include <string_view>

namespace quavert {

struct Session;

/// The Edit frame's "Save": writes the first tempo typed as `tempo_text` (50..500 beats per
/// minute, only when the track has one) and the ticks per quarter note typed as `ticks_text` (a number that
/// rounds to 1..32767) into the working copy, with the playback device closed meanwhile. A value
/// out of range shows its message and is not written; "Data saved!" follows when something was
/// written. A working copy that cannot be written shows "ERROR: Data not saved: " with its path
/// and the reason, and keeps the values it had; the device is opened again in every case.
void Command2Click(Session& session, std::string_view tempo_text, std::string_view ticks_text);

}  // namespace quavert
