#include "commands/event_list.h"

#include <algorithm>
#include <string>
#include <utility>

#include "app/long_work.h"
#include "app/session.h"
#include "commands/current_genmidi.h"
#include "commands/file_summary.h"
#include "commands/listing_step.h"
#include "commands/taken_rows.h"
#include "commands/working_files.h"
#include "common/file_system.h"
#include "common/number_text.h"
#include "common/progress.h"
#include "common/record_file.h"
#include "common/record_journal.h"
#include "common/run_error.h"
#include "editing/row_rules.h"
#include "editing/total_time.h"

namespace quavert {
namespace {

// Row of TrackReportFlags that says a track's event lines are in the report.
constexpr std::size_t kEventLinesFlag = 2;
// The decoder writes notes.dat in whole blocks of this many records; data.dat follows it.
constexpr std::int64_t kBlockRecords = 100;

constexpr const char* kListingCancelled = "Cancelled";

// A list of at least this many rows is shown from the decoder's records before the listing has
// written its files, which takes a noticeable time at this length; shorter ones are shown once.
constexpr std::int64_t kShowFirstRows = 100000;

bool& EventLinesWritten(Session& session) {
  auto& flags = session.file.TrackReportFlags[kEventLinesFlag];
  const int track = session.file.CurrentTrack;
  if (track < 0 || static_cast<std::size_t>(track) >= flags.size()) throw RunError(kIndexOutOfRange);
  return flags[static_cast<std::size_t>(track)];
}

// What every listing does first: the list shows nothing, the rows and their edits are let go.
// Returns the names the rows are made with.
const GenmidiNames& StartListing(Session& session) {
  ClearEventList(session);
  session.buffers = {};
  session.undo.NewList();
  return CurrentGenmidi(session);
}

// What every listing does once its rows are listed: the total time in the report (when its
// lines are written) and in Text2.
void EndListing(Session& session, bool write_report) {
  ListBuilderState& list = session.list;
  WriteReportHeading(session);
  const TotalTimeLines total = TotalTime(list.TotalTicks, session.decoder.TickMinutes);
  list.TotalTimeText = total.Text2;
  if (write_report) session.report.WriteLine(total.Report);
  session.ui.SetText(Control::Text2, session.ui.GetText(Control::Text2) + list.TotalTimeText);
  EventLinesWritten(session) = true;
}

// A file written beside the one it replaces; one left behind by a failed listing is deleted.
class SideFile {
 public:
  explicit SideFile(std::string path) : path_(std::move(path)) { DeleteLeftover(path_); }
  ~SideFile() { DeleteLeftover(path_); }
  SideFile(const SideFile&) = delete;
  SideFile& operator=(const SideFile&) = delete;
  const std::string& Path() const { return path_; }
  // The records written replace those at the start of `target` (TakeSideRecords).
  void TakeThePlaceOf(const std::string& target, std::size_t record_length) {
    TakeSideRecords(std::exchange(path_, {}), target, record_length);
  }

 private:
  std::string path_;
};

// Lists the rows `taken` took from the track's decode: the report gets their lines, the list
// stays empty, and no working file is written.
void BuildTakenEventList(Session& session, TakenTrackRows& taken) {
  session.list.TotalTimeText.clear();
  StartListing(session);
  if (taken.Count() != std::max<std::int64_t>(session.decoder.LastEventIndex + 1, 0)) throw RunError(kInputPastEnd);
  const bool write_report = !EventLinesWritten(session);
  session.list.TotalTicks += taken.TotalTicks();
  if (write_report) taken.WriteLines(session.report);
  EndListing(session, write_report);
  ShowEventList(session);
}

// "Notes..." with `build` making the list: true when it did.
template <typename Build>
bool ClickListing(Session& session, bool rows_given, Build&& build) {
  Toolkit& ui = session.ui;
  ui.SetBusy(true);
  LongWork work(ui, true);
  const std::int64_t ticks_before = std::exchange(session.list.TotalTicks, 0);
  ui.SetStatusText("Loading...");
  try {
    if (!build(&work)) {
      session.list.TotalTicks = ticks_before;
      ui.SetStatusText(kListingCancelled);
      ui.SetBusy(false);
      return false;
    }
    ui.SetStatusText("");
    session.controls.SaveTrack = !rows_given;
    ShowControls(session);
    ui.SetBusy(false);
    return true;
  } catch (const RunError& error) {
    // Nothing half-listed may stay behind for "Save Track" to write back.
    session.buffers = {};
    ClearEventList(session);
    ui.SetStatusText("");
    session.controls.SaveTrack = false;
    ShowControls(session);
    ui.SetBusy(false);
    ui.MessageBox("Error:" + SignedNumber(error.code()));
    return false;
  }
}

}  // namespace

void ShowEventList(Session& session) {
  const std::int64_t rows = session.buffers.Rows.size();
  session.shown.Fill(rows);
  session.ui.ListReset(rows);
}

void ClearEventList(Session& session) {
  session.shown.Fill(0);
  session.ui.ListReset(0);
}

std::string ListCellText(const Session& session, std::int64_t item, int column) {
  return session.shown.Text(session.buffers.Rows, item - 1, column);
}

void WriteListCell(Session& session, std::int64_t item, int column, std::string_view text) {
  session.shown.Write(session.buffers.Rows, item - 1, column, text);
  session.ui.ListItemsChanged(item, item);
}

bool BuildEventList(Session& session, ListedRows* listed, Progress* progress) {
  ListBuilderState& list = session.list;
  // What a listing stopped part of the way restores: with a list shown already, that list too,
  // its rows with their edits (which read notes.dat) and its undo steps.
  const std::string time_text_before = std::exchange(list.TotalTimeText, {});
  const std::int64_t report_before = session.report.Written();
  ListShown before = TakeListShown(session);
  const bool relisting = !before.Buffers.Rows.empty();
  // The list reads its rows from notes.dat once it is written: it shows none while it is, and
  // the rows let go of the file.
  const GenmidiNames& genmidi = StartListing(session);

  const std::int64_t rows = std::max<std::int64_t>(session.decoder.LastEventIndex + 1, 0);
  // notes.dat removed or cut short since the decode would read as blank rows, which "Save Track"
  // would then write into the track.
  if (FileLength(session.AppPath(kNotesDat)) < rows * static_cast<std::int64_t>(kEventRecordLength))
    throw RunError(kInputPastEnd);
  RecordFile notes(session.AppPath(kNotesDat), kEventRecordLength);
  // Listing again, the records written over in notes.dat are kept aside, and data.dat is written
  // beside the one it replaces at the end.
  RecordJournal notes_before(session.AppPath(kNotesDat) + ".before", notes);
  SideFile data_side(relisting ? session.AppPath(kDataDat) + ".new" : std::string());
  RecordFile data(relisting ? data_side.Path() : session.AppPath(kDataDat), kListRowLength);
  session.NotesDatMade = true;
  session.DataDatMade = true;

  const bool write_report = !EventLinesWritten(session);
  // The decoder wrote each record as the listing classifies it, and the list makes a row's texts
  // from its record as the listing does: a long list can be shown while its files are written.
  // The rows are opened again at the end, on the records as the listing left them.
  const bool show_first = listed == nullptr && rows >= kShowFirstRows;
  if (show_first) {
    session.buffers.Rows.Open(session.AppPath(kNotesDat), rows, {session.names, genmidi}, kEmptyDigest);
    ShowEventList(session);
    session.ui.DoEvents();
  }
  const std::int64_t records = (rows + kBlockRecords - 1) / kBlockRecords * kBlockRecords;
  LineBuffer report_lines;
  ListingStep step({session.names, genmidi, list.DrumCache}, write_report ? &report_lines : nullptr, list.TotalTicks);

  // Each run of records is read once and its records, rows and report lines are formatted
  // straight into these buffers, which keep their memory from run to run.
  std::string read;
  std::string data_out;
  std::uint64_t digest = kEmptyDigest;
  ProgressSteps steps(progress, rows);
  for (std::int64_t first = 0; first < records; first += kListIoRecords) {
    const std::int64_t count = std::min(kListIoRecords, records - first);
    notes.GetRecords(first + 1, count, read);
    data_out.resize(static_cast<std::size_t>(count) * kListRowLength);
    report_lines.Clear();
    bool run_changed = false;
    for (std::int64_t i = 0; i < count; ++i) {
      // The record is rewritten where it was read: notes.dat gets the run back in one write.
      char* const record_at = read.data() + static_cast<std::size_t>(i) * kEventRecordLength;
      char* const data_at = data_out.data() + static_cast<std::size_t>(i) * kListRowLength;
      const std::int64_t index = first + i;
      if (index >= rows) {
        // The rest of the last block: notes.dat keeps what the decoder left, data.dat gets blanks.
        WriteListRow({}, data_at);
        continue;
      }
      bool exact = false;
      EventRecord record = ParseEventRecord({record_at, kEventRecordLength}, &exact);
      const EventRecord as_read = record;
      const BuiltRow& row = step.List(record, index);
      if (!listed) digest = AddToDigest(digest, record);
      // The row's other fields keep the text they had, unless it was not as this program
      // writes it; a record the decode wrote as the listing would is not written again.
      if (!exact) {
        WriteEventRecord(record, record_at);
        run_changed = true;
      } else if (record != as_read) {
        WriteListingFields(record, record_at);
        run_changed = true;
      }
      WriteDataRecord(row, data_at);
      if (listed) listed->Row(index, KeptTexts(row));
    }
    if (run_changed) {
      if (relisting) notes_before.Keep(first + 1, count);
      notes.PutRecords(first + 1, read);
    }
    data.PutRecords(first + 1, data_out);
    if (write_report) session.report.WriteLines(report_lines.Lines());
    if (steps.At(std::min(first + count, rows))) {
      notes_before.PutBack();
      notes.Close();
      session.report.TakeBack(report_before);
      list.TotalTimeText = time_text_before;
      PutListShownBack(session, std::move(before));
      return false;
    }
  }
  data.Close();
  notes.Close();
  if (relisting) data_side.TakeThePlaceOf(session.AppPath(kDataDat), kListRowLength);

  EndListing(session, write_report);

  // The rows are read from the records just written, as the list shows them.
  if (!listed) session.buffers.Rows.Open(session.AppPath(kNotesDat), rows, {session.names, genmidi}, digest);
  // A list shown already keeps its place; its texts are the same, read again.
  if (show_first) session.ui.ListItemsChanged(1, rows);
  else ShowEventList(session);
  return true;
}

bool Command1Click(Session& session, ListedRows* rows) {
  return ClickListing(session, rows != nullptr, [&](Progress* work) { return BuildEventList(session, rows, work); });
}

bool ListTakenRows(Session& session, TakenTrackRows& taken) {
  return ClickListing(session, true, [&](Progress*) {
    BuildTakenEventList(session, taken);
    return true;
  });
}

}  // namespace quavert
