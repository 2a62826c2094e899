#include "commands/undo_commands.h"

#include "app/session.h"
#include "commands/event_list.h"
#include "commands/media_commands.h"
#include "common/run_error.h"

namespace quavert {
namespace {

// Makes (or takes back) every part of `entry`: the working copy first when making it, last when
// taking it back, so the rows always meet the copy they were made on.
void ApplyEntry(Session& session, const UndoEntry& entry, bool undo, UndoOutcome& outcome) {
  const bool rows_here = entry.List == session.undo.List();
  if (entry.File && !undo) {
    MciClose(session, kDeviceAlias);
    ApplyWorkingCopyChange(session, *entry.File, false);
    outcome.FileChanged = true;
  }
  if (!rows_here) {
    // Rows of an earlier listing: the list shown now came from the working copy as it was.
  } else if (undo) {
    for (auto change = entry.Rows.rbegin(); change != entry.Rows.rend(); ++change)
      ApplyRowChange(session.buffers, *change, true);
  } else {
    for (const RowChange& change : entry.Rows) ApplyRowChange(session.buffers, change, false);
  }
  if (!entry.Rows.empty() && rows_here) {
    KeepLastEventIndex(session);
    outcome.RowsChanged = true;
  }
  if (entry.File && undo) {
    MciClose(session, kDeviceAlias);
    ApplyWorkingCopyChange(session, *entry.File, true);
    outcome.FileChanged = true;
  }
  outcome.DecodeAgain = entry.DecodeAgain;
  if (entry.File && !rows_here) {
    // The list shown was built after this step, from another working copy (perhaps of another
    // track): it no longer matches, and the track is decoded again.
    session.buffers.Origins = {};
    outcome.DecodeAgain = true;
  }
}

UndoOutcome Step(Session& session, bool undo) {
  UndoOutcome outcome;
  UndoHistory& history = session.undo;
  const UndoEntry* entry = undo ? history.NextUndo() : history.NextRedo();
  if (entry == nullptr) return outcome;
  session.ui.SetBusy(true);
  try {
    ApplyEntry(session, *entry, undo, outcome);
    outcome.Done = true;
    if (undo)
      history.Undone();
    else
      history.Redone();
  } catch (const RunError& error) {
    session.ui.MessageBox(std::string(undo ? "ERROR: Undo failed: " : "ERROR: Redo failed: ") + error.reason());
  }
  if (outcome.RowsChanged) ShowEventList(session);
  if (outcome.FileChanged) MciOpenInFrame(session, session.WorkCopyPath(), kDeviceAlias);
  session.ui.SetBusy(false);
  return outcome;
}

}  // namespace

void KeepLastEventIndex(Session& session) {
  session.decoder.LastEventIndex = session.buffers.Rows.size() - 1;
}

UndoOutcome UndoCommand(Session& session) { return Step(session, true); }
UndoOutcome RedoCommand(Session& session) { return Step(session, false); }

void RecordWorkingCopyStep(Session& session, WorkingCopyCapture before, std::string name, bool decode_again) {
  std::optional<WorkingCopyChange> change = ChangeSince(session, std::move(before));
  if (!change) return;
  UndoEntry entry;
  entry.Name = std::move(name);
  entry.File = std::move(change);
  entry.DecodeAgain = decode_again;
  session.undo.Record(std::move(entry));
}

void MakeRowStep(Session& session, RowChange change, std::string name) {
  ApplyRowChange(session.buffers, change);
  KeepLastEventIndex(session);
  UndoEntry entry;
  entry.Name = std::move(name);
  entry.Rows.push_back(std::move(change));
  session.undo.Record(std::move(entry));
}

}  // namespace quavert
