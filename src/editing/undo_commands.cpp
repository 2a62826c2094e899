#include "editing/undo_commands.h"

#include <algorithm>

#include "common/number_text.h"
#include "common/run_error.h"
#include "editing/event_list.h"
#include "editing/genmidi.h"
#include "editing/row_insert_delete.h"
#include "playback/media_commands.h"
#include "session/session.h"

namespace quavert {
namespace {

void KeepLastEventIndex(Session& session) {
  session.decoder.LastEventIndex = static_cast<std::int64_t>(session.buffers.EventBuffer.size()) - 1;
}

// Makes (or takes back) every part of `entry`: the working copy first when making it, last when
// taking it back, so the rows always meet the copy they were made on.
void ApplyEntry(Session& session, const UndoEntry& entry, bool undo, UndoOutcome& outcome) {
  if (entry.File && !undo) {
    MciClose(session, kDeviceAlias);
    ApplyWorkingCopyChange(session, *entry.File, false);
    outcome.FileChanged = true;
  }
  if (undo) {
    for (auto change = entry.Rows.rbegin(); change != entry.Rows.rend(); ++change)
      ApplyRowChange(session.buffers, *change, true);
  } else {
    for (const RowChange& change : entry.Rows) ApplyRowChange(session.buffers, change, false);
  }
  if (!entry.Rows.empty()) {
    KeepLastEventIndex(session);
    outcome.RowsChanged = true;
  }
  if (entry.File && undo) {
    MciClose(session, kDeviceAlias);
    ApplyWorkingCopyChange(session, *entry.File, true);
    outcome.FileChanged = true;
  }
  outcome.DecodeAgain = entry.DecodeAgain;
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

// The texts the list shows of a row of hex bytes: "90 3C 64".
std::string HexText(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (const char c : bytes) {
    const auto byte = static_cast<std::uint8_t>(c);
    if (!text.empty()) text += ' ';
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

}  // namespace

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

std::string ItemRangeMessage(std::int64_t items) {
  return "Item must be between 1 and " + PlainNumber(items);
}

bool DeleteItems(Session& session, const std::vector<std::int64_t>& items) {
  const auto count = static_cast<std::int64_t>(session.buffers.EventBuffer.size());
  std::vector<std::size_t> rows;
  for (const std::int64_t item : items) {
    if (item < 1 || item > count) {
      session.ui.MessageBox(ItemRangeMessage(count));
      return false;
    }
    rows.push_back(static_cast<std::size_t>(item - 1));
  }
  RowEdit edit = PlanDelete(session.buffers, rows);
  if (!edit.Change) {
    if (!edit.Message.empty()) session.ui.MessageBox(edit.Message);
    return false;
  }
  const std::size_t deleted = edit.Change->OldRecords.size() - edit.Change->NewRecords.size();
  const std::string name = deleted == 1 ? "Delete Event" : "Delete " + PlainNumber(static_cast<std::int64_t>(deleted)) + " Events";
  MakeRowStep(session, std::move(*edit.Change), name);
  ShowEventList(session);
  return true;
}

bool InsertItem(Session& session, std::int64_t item, std::int64_t ticks, std::string_view hex) {
  const auto count = static_cast<std::int64_t>(session.buffers.EventBuffer.size());
  if (item < 1 || item > count) {
    session.ui.MessageBox(ItemRangeMessage(count));
    return false;
  }
  const std::optional<std::string> bytes = ReadHexBytes(hex);
  const std::optional<EventInput> input = bytes ? ReadEventInput(*bytes) : std::nullopt;
  if (!input) {
    session.ui.MessageBox(kEventBytesRange);
    return false;
  }
  RowNaming naming{session.names, CurrentGenmidi(session), session.list.DrumCache};
  RowEdit edit = PlanInsert(session.buffers, static_cast<std::size_t>(item - 1), ticks, *input, naming);
  if (!edit.Change) {
    if (!edit.Message.empty()) session.ui.MessageBox(edit.Message);
    return false;
  }
  MakeRowStep(session, std::move(*edit.Change), "Insert " + HexText(input->Bytes));
  ShowEventList(session);
  return true;
}

}  // namespace quavert
