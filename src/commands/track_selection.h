#pragma once

namespace quavert {

struct Session;

/// The track chooser's click: decodes the track at the 0-based `selected_index` of Combo1 while a
/// file is loaded (once more at once after a missing-byte repair), and blocks the file commands
/// when that decode fails. A negative index (no selection) does nothing.
/// When `stoppable`, the user may stop the decode while it shows its progress (see DecodeTrack):
/// the track shown before, its list with the edits not yet saved, the window's texts and controls,
/// the chooser and the report are then as they were, and the status bar says "Cancelled".
/// False when the decode was stopped so.
bool Combo1Click(Session& session, int selected_index, bool stoppable = false);

}  // namespace quavert
