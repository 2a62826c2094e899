#include "shell/note_insert.h"

#include "editing/undo_commands.h"
#include "editing/undo_history.h"
#include "session/session.h"

namespace quavert {

void JoinLastTwoSteps(UndoHistory& history, std::string name) {
  if (history.Steps() < 2) return;
  UndoEntry second = *history.NextUndo();
  history.Undone();
  UndoEntry joined = *history.NextUndo();
  history.Undone();
  joined.Name = std::move(name);
  joined.Rows.insert(joined.Rows.end(), second.Rows.begin(), second.Rows.end());
  // Recording forgets the two steps just moved aside for redo.
  history.Record(std::move(joined));
}

bool InsertRequestedEvent(Session& session, std::int64_t item, const EventRequest& request) {
  if (!InsertItem(session, item, request.Ticks, request.Hex)) return false;
  if (request.OffHex.empty()) return true;
  // The Note On is row `item` now (0-based); its Off goes `Length` ticks after it.
  const std::optional<RowPlace> place = PlaceAfter(session.buffers.EventBuffer, static_cast<std::size_t>(item), request.Length);
  if (!place || !InsertItem(session, static_cast<std::int64_t>(place->After) + 1, place->Ticks, request.OffHex)) {
    UndoCommand(session);
    return false;
  }
  JoinLastTwoSteps(session.undo, "Insert Note " + request.Hex);
  return true;
}

}  // namespace quavert
