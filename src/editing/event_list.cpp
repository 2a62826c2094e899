#include "editing/event_list.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/number_text.h"
#include "common/record_file.h"
#include "common/run_error.h"
#include "editing/row_rules.h"
#include "editing/total_time.h"
#include "loading/file_summary.h"
#include "session/session.h"

namespace quavert {
namespace {

// Row of TrackReportFlags that says a track's event lines are in the report.
constexpr std::size_t kEventLinesFlag = 2;
// The decoder writes notes.dat in whole blocks of this many records; data.dat follows it.
constexpr std::int64_t kBlockRecords = 100;

bool& EventLinesWritten(Session& session) {
  auto& flags = session.file.TrackReportFlags[kEventLinesFlag];
  const int track = session.file.CurrentTrack;
  if (track < 0 || static_cast<std::size_t>(track) >= flags.size()) throw RunError(kIndexOutOfRange);
  return flags[static_cast<std::size_t>(track)];
}

void ShowEventList(Session& session) {
  Toolkit& ui = session.ui;
  const std::vector<ListRow>& rows = session.buffers.ListBuffer;
  ui.ListClear();
  std::vector<ListItem> items;
  items.reserve(std::min(rows.size(), kListFillChunk));
  for (const ListRow& row : rows) {
    items.push_back(ItemOf(row));
    if (items.size() == kListFillChunk) {
      ui.ListAddItems(items);
      items.clear();
    }
  }
  if (!items.empty()) ui.ListAddItems(items);
}

}  // namespace

void BuildEventList(Session& session) {
  ListBuilderState& list = session.list;
  list.TotalTimeText.clear();
  const GenmidiNames& genmidi = CurrentGenmidi(session);

  const std::int64_t rows = std::max<std::int64_t>(session.decoder.LastEventIndex + 1, 0);
  // notes.dat removed or cut short since the decode would read as blank rows, which "Save Track"
  // would then write into the track.
  if (FileLength(session.AppPath(kNotesDat)) < rows * static_cast<std::int64_t>(kEventRecordLength))
    throw RunError(kInputPastEnd);
  RecordFile notes(session.AppPath(kNotesDat), kEventRecordLength);
  RecordFile data(session.AppPath(kDataDat), kListRowLength);
  session.NotesDatMade = true;
  session.DataDatMade = true;

  const bool write_report = !EventLinesWritten(session);
  const std::int64_t records = (rows + kBlockRecords - 1) / kBlockRecords * kBlockRecords;
  std::vector<EventRecord> events;
  std::vector<ListRow> kept;
  events.reserve(static_cast<std::size_t>(rows));
  kept.reserve(static_cast<std::size_t>(rows));
  RowNaming naming{session.names, genmidi, list.DrumCache};

  for (std::int64_t first = 0; first < records; first += kListIoRecords) {
    const std::int64_t count = std::min(kListIoRecords, records - first);
    const std::string read = notes.GetRecords(first + 1, count);
    std::string notes_out;
    std::string data_out;
    notes_out.reserve(read.size());
    data_out.reserve(static_cast<std::size_t>(count) * kListRowLength);
    for (std::int64_t i = 0; i < count; ++i) {
      const std::string_view bytes = std::string_view(read).substr(static_cast<std::size_t>(i) * kEventRecordLength,
                                                                   kEventRecordLength);
      const std::int64_t index = first + i;
      if (index >= rows) {
        // The rest of the last block: notes.dat keeps what the decoder left, data.dat gets blanks.
        notes_out += bytes;
        AppendListRow({}, data_out);
        continue;
      }
      EventRecord record = ParseEventRecord(bytes);
      const BuiltRow row = BuildRow(record, index, naming);
      if (write_report) session.report.WriteLine(ReportLine(row));
      if (record.Delta >= 0) list.TotalTicks += record.Delta;
      AppendEventRecord(record, notes_out);
      AppendListRow(row.Texts, data_out);
      events.push_back(record);
      kept.push_back(KeptRow(row));
    }
    notes.PutRecords(first + 1, notes_out);
    data.PutRecords(first + 1, data_out);
  }
  data.Close();
  notes.Close();

  WriteReportHeading(session);
  const TotalTimeLines total = TotalTime(list.TotalTicks, session.decoder.TickMinutes);
  list.TotalTimeText = total.Text2;
  if (write_report) session.report.WriteLine(total.Report);
  session.ui.SetText(Control::Text2, session.ui.GetText(Control::Text2) + list.TotalTimeText);
  EventLinesWritten(session) = true;

  // data.dat holds the texts cut to its field widths; the list keeps them whole.
  session.buffers.EventBuffer = std::move(events);
  session.buffers.ListBuffer = std::move(kept);
  ShowEventList(session);
}

void Command1Click(Session& session) {
  Toolkit& ui = session.ui;
  ui.SetBusy(true);
  session.list.TotalTicks = 0;
  ui.SetStatusText("Loading...");
  try {
    BuildEventList(session);
    ui.SetStatusText("");
    ui.SetEnabled(Control::Command5, true);
    ui.SetBusy(false);
  } catch (const RunError& error) {
    // Nothing half-listed may stay behind for "Save Track" to write back.
    session.buffers.EventBuffer.clear();
    session.buffers.ListBuffer.clear();
    ui.ListClear();
    ui.SetStatusText("");
    ui.SetEnabled(Control::Command5, false);
    ui.SetBusy(false);
    ui.MessageBox("Error:" + SignedNumber(error.code()));
  }
}

}  // namespace quavert
