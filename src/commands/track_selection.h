#pragma once

namespace quavert {

struct Session;

/// The track chooser's click: decodes the track at the 0-based `selected_index` of Combo1 while a
/// file is loaded (once more at once after a missing-byte repair), and blocks the file commands
/// when that decode fails. A negative index (no selection) does nothing.
void Combo1Click(Session& session, int selected_index);

}  // namespace quavert
