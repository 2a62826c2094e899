#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editing/undo_history.h"

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

/// Del: deletes list items `items` (1-based) and the Note Off of each Note On among them (see
/// PlanDelete), then shows the list again. A delete that would make a delta too long shows its
/// message and changes nothing. Items outside the list show "Item must be between 1 and N".
/// True when rows were deleted.
bool DeleteItems(Session& session, const std::vector<std::int64_t>& items);

/// Ins: inserts the event in `hex` (ReadHexBytes, ReadEventInput) after list item `item`
/// (1-based), `ticks` after its time (see PlanInsert), then shows the list again; the new row is
/// item `item` + 1. An item outside the list, ticks outside 0 .. the next event's time, or bytes
/// that are no such event show a message naming what is allowed and change nothing. True when inserted.
bool InsertItem(Session& session, std::int64_t item, std::int64_t ticks, std::string_view hex);

/// Ins with a note: a Note On of `key` and `velocity` (0..127) on `channel` (0..15) after list
/// item `item`, `ticks` after its time, and its Note Off (80 hex, velocity 0) `length` ticks later,
/// after the last row before that time (right after the On for a length of 0). One step ("Insert
/// Note"). A length past the track's last event is refused with "Length must be between 0 and N",
/// other values as InsertItem refuses them. True when inserted.
bool InsertNote(Session& session, std::int64_t item, std::int64_t ticks, int channel, int key, int velocity,
                std::int64_t length);

/// The message of an item outside 1 .. `items`.
std::string ItemRangeMessage(std::int64_t items);

}  // namespace quavert
