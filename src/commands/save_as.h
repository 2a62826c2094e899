#pragma once

namespace quavert {

struct Session;

/// "Save Midi...": asks for a name with the save dialog ("Save MIDI file", MIDI files first,
/// starting in the folder of the file being worked on,
/// else in the current folder), asks "NAME already exists, overwrite?" (Yes/No, titled
/// "Confirmation") when the name is taken, and copies the working copy there under the busy
/// pointer. The copy goes to a new file beside the destination and replaces it in one step, so
/// the destination is never half written; a copy that fails shows "ERROR: File not saved", the
/// file's path and the reason, each on a line of its own. Cancel or No change nothing.
void SaveAs(Session& session);

}  // namespace quavert
