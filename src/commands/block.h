#pragma once

namespace quavert {

struct Session;

/// Disables the file commands after a failed load (flag 1, which also clears FileLoaded) or a
/// failed decode (flag 0): "Save Midi...", "Notes...", the Edit frame and "Play".
void Block(Session& session, int flag);

}  // namespace quavert
