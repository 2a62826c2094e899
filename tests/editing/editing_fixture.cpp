#include "editing_fixture.h"

#include <sys/stat.h>

#include "common/record_file.h"
#include "editing/row_rules.h"
#include "support/session_fixture.h"

namespace quavert::testing {

EditingTest::EditingTest() : session(app.Path(), ui, media) {
  ::mkdir(app.Join("logs").c_str(), 0755);
  InstallGenmidi(app.Path());
  FillNameTables(session.names);
  session.file.WorkCopyName = kWorkCopyName;
  session.file.ShortName = "SONG.MID";
  session.file.MidiPath = "/music/song.mid";
  session.file.ReportHeadDone = true;
  session.file.CurrentTrack = 1;
}

void EditingTest::ShowRows(const std::vector<EventRecord>& records) {
  DrumNameCache drums;
  const GenmidiNames& genmidi = CurrentGenmidi(session);
  RowNaming naming{session.names, genmidi, drums};
  session.buffers = {};
  ui.Items.clear();
  for (std::size_t i = 0; i < records.size(); ++i) {
    EventRecord record = records[i];
    const ListRow row = KeptRow(BuildRow(record, static_cast<std::int64_t>(i), naming));
    session.buffers.EventBuffer.push_back(record);
    session.buffers.ListBuffer.push_back(row);
    ui.Items.push_back(ItemOf(TextsOf(row)));
  }
  session.decoder.LastEventIndex = static_cast<std::int64_t>(records.size()) - 1;
}

void EditingTest::DecodedRows(const std::vector<EventRecord>& records) {
  std::string bytes;
  for (const EventRecord& record : records) AppendEventRecord(record, bytes);
  while (bytes.size() % (100 * kEventRecordLength) != 0) AppendEventRecord({}, bytes);
  RecordFile notes(session.AppPath(kNotesDat), kEventRecordLength);
  if (!bytes.empty()) notes.PutRecords(1, bytes);
  notes.Close();
  session.decoder.LastEventIndex = static_cast<std::int64_t>(records.size()) - 1;
}

std::string EditingTest::ReportBytes() {
  session.report.Flush();
  return ReadFileBytes(app.Join("logs/song.txt"));
}

}  // namespace quavert::testing
