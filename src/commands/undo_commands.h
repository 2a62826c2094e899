#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/undo_history.h"
#include "commands/row_commands.h"

namespace quavert {

struct Session;

/// What an undo or redo changed, for the window to bring its views up to date.
struct UndoOutcome {
  bool Done = false;          ///< false: there was nothing to take back, or it failed (with a message)
  bool RowsChanged = false;   ///< the list's rows changed (ListView1 was filled again)
  bool FileChanged = false;   ///< the working copy changed (FileSize, playback)
  bool DecodeAgain = false;   ///< a repair was taken back or made again: decode the current track again (and list it)
};

/// Takes back the last step in the history: the list's rows and the working copy as they were
/// before it, ListView1 filled again when rows changed, the media device closed and opened again
/// on the working copy when it changed. A working copy that cannot be put back shows
/// "ERROR: Undo failed: " and the reason, and the history stays.
UndoOutcome UndoCommand(Session& session);
/// Makes the last step taken back again; "ERROR: Redo failed: " likewise.
UndoOutcome RedoCommand(Session& session);

/// Records a step of the working copy made between CaptureWorkingCopy and now, under `name`;
/// records nothing when nothing changed.
void RecordWorkingCopyStep(Session& session, WorkingCopyCapture before, std::string name, bool decode_again = false);

/// Makes `change` on the editing buffers, keeps LastEventIndex on the last row, and records it
/// as a step named `name`.
void MakeRowStep(Session& session, RowChange change, std::string name);

/// LastEventIndex on the last row of the editing buffers, after their row count changed.
void KeepLastEventIndex(Session& session);

}  // namespace quavert
