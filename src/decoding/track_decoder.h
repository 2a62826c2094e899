#pragma once

namespace quavert {

struct Session;

/// Decodes track file.CurrentTrack of the working copy: Text2's lines, the report's meta-event
/// lines, one notes.dat record per event row, and the decoder state. Leaves LoadState 1 after a
/// complete decode, 98 after the missing-byte repair (decode again), 99 when it stopped with a
/// message. Never reads outside the track's chunk; no file ends the program.
void DecodeTrack(Session& session);

/// The track chooser's click: decodes the track at the 0-based `selected_index` of Combo1 while a
/// file is loaded, and blocks the file commands when that decode fails.
void Combo1Click(Session& session, int selected_index);

}  // namespace quavert
