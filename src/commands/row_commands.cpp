#include "commands/row_commands.h"

#include <algorithm>

#include "app/session.h"
#include "commands/current_genmidi.h"
#include "commands/event_list.h"
#include "commands/undo_commands.h"
#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "common/number_text.h"
#include "common/run_error.h"
#include "decoding/delta_time.h"
#include "editing/genmidi.h"
#include "editing/row_insert_delete.h"
#include "loading/chunk_headers.h"
#include "writing/track_events_writer.h"

namespace quavert {
namespace {

// Ticks of the delta time in front of the current track's timed part in the working copy; 0 when
// it cannot be read, which "Save Track" reports in its own words.
std::int64_t LeadInWorkingCopy(const Session& session) {
  try {
    BinaryFile work(session.WorkCopyPath(), BinaryFile::Mode::kRead);
    const TrackPlaceInFile place = PlaceOfTrack(session.tracks, session.file.CurrentTrack, work.Length());
    return DeltaBeforeTimedPart(work, place.DataFirst, place.DataLast, session.decoder.FirstEventPos).value;
  } catch (const RunError&) {
  } catch (const TrackMismatch&) {
  } catch (const ReadPastLimit&) {
  }
  return 0;
}

// The event of `hex` planned after row `after`, or the message that refuses it.
RowEdit PlanHexInsert(Session& session, std::size_t after, std::int64_t ticks, std::string_view hex) {
  const std::optional<std::string> bytes = ReadHexBytes(hex);
  const std::optional<EventInput> input = bytes ? ReadEventInput(*bytes) : std::nullopt;
  if (!input) return {std::nullopt, kEventBytesRange};
  RowNaming naming{session.names, CurrentGenmidi(session), session.list.DrumCache};
  return PlanInsert(session.buffers, after, ticks, *input, naming);
}

bool ItemInList(Session& session, std::int64_t item) {
  const std::int64_t count = session.buffers.Rows.size();
  if (item >= 1 && item <= count) return true;
  session.ui.MessageBox(ItemRangeMessage(count));
  return false;
}

}  // namespace

std::string ItemRangeMessage(std::int64_t items) {
  return "Item must be between 1 and " + PlainNumber(items);
}

bool DeleteItems(Session& session, const std::vector<std::int64_t>& items) {
  const std::int64_t count = session.buffers.Rows.size();
  std::vector<std::size_t> rows;
  for (const std::int64_t item : items) {
    if (item < 1 || item > count) {
      session.ui.MessageBox(ItemRangeMessage(count));
      return false;
    }
    rows.push_back(static_cast<std::size_t>(item - 1));
  }
  RowEdit edit = PlanDelete(session.buffers, rows);
  // Rows deleted from the start of the list give their time to the delta in front of the timed
  // part, which has to stay a delta time a variable-length number holds.
  if (edit.Change && edit.Change->LeadAfter > edit.Change->LeadBefore &&
      LeadInWorkingCopy(session) + edit.Change->LeadAfter > kLargestVariableLength)
    edit = {std::nullopt, kDeleteTooLong};
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
  if (!ItemInList(session, item)) return false;
  RowEdit edit = PlanHexInsert(session, static_cast<std::size_t>(item - 1), ticks, hex);
  if (!edit.Change) {
    if (!edit.Message.empty()) session.ui.MessageBox(edit.Message);
    return false;
  }
  MakeRowStep(session, std::move(*edit.Change), "Insert " + HexPairs(*ReadHexBytes(hex)));
  ShowEventList(session);
  return true;
}

bool InsertNote(Session& session, std::int64_t item, std::int64_t ticks, int channel, int key, int velocity,
                std::int64_t length) {
  if (!ItemInList(session, item)) return false;
  if (channel < 0 || channel > 15 || key < 0 || key > 127 || velocity < 0 || velocity > 127) {
    session.ui.MessageBox("Data must be between 0 and 127");
    return false;
  }
  const TrackRows& rows = session.buffers.Rows;
  const auto on_row = static_cast<std::size_t>(item);  // where the On will stand
  const std::int64_t end = TicksBetween(rows, 0, rows.size());
  const std::int64_t on_tick = TicksBetween(rows, 0, item - 1) + ticks;
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const auto hex = [](int status, int data1, int data2) {
    return std::string{kDigits[status >> 4], kDigits[status & 15], ' ', kDigits[data1 >> 4], kDigits[data1 & 15], ' ',
                       kDigits[data2 >> 4], kDigits[data2 & 15]};
  };
  RowEdit on = PlanHexInsert(session, on_row - 1, ticks, hex(0x90 | channel, key, velocity));
  if (!on.Change) {
    if (!on.Message.empty()) session.ui.MessageBox(on.Message);
    return false;
  }
  const std::int64_t most = std::max<std::int64_t>(end - on_tick, 0);
  if (length < 0 || length > most) {
    session.ui.MessageBox("Length must be between 0 and " + PlainNumber(most));
    return false;
  }
  // The Off follows the last row before its time, the On itself at the least.
  EditBuffers after_on = session.buffers;
  ApplyRowChange(after_on, *on.Change);
  const auto [off_after, off_row_tick] = LastRowBefore(after_on.Rows, item, on_tick, on_tick + length);
  const std::int64_t offset = on_tick + length - off_row_tick;
  RowNaming naming{session.names, CurrentGenmidi(session), session.list.DrumCache};
  const EventInput off_input = *ReadEventInput(*ReadHexBytes(hex(0x80 | channel, key, 0)));
  RowEdit off = PlanInsert(after_on, static_cast<std::size_t>(off_after), offset, off_input, naming);
  if (!off.Change) {
    if (!off.Message.empty()) session.ui.MessageBox(off.Message);
    return false;
  }
  ApplyRowChange(session.buffers, *on.Change);
  ApplyRowChange(session.buffers, *off.Change);
  KeepLastEventIndex(session);
  UndoEntry entry;
  entry.Name = "Insert Note";
  entry.Rows = {std::move(*on.Change), std::move(*off.Change)};
  session.undo.Record(std::move(entry));
  ShowEventList(session);
  return true;
}

}  // namespace quavert
