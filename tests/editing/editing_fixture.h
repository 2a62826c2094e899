#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/record_file.h"
#include "decoding/records.h"
#include "editing/row_rules.h"
#include "support/session_fixture.h"

namespace quavert::testing {

/// A session with its name tables filled, the build's genmidi.ini in its application folder and
/// SONG.MID loaded as track 1.
class EditingTest : public SessionTest {
 protected:
  EditingTest() {
    FillNameTables(session.names);
    session.file.WorkCopyName = kWorkCopyName;
    session.file.ShortName = "SONG.MID";
    session.file.MidiPath = "/music/song.mid";
    session.file.ReportHeadDone = true;
  }

  /// Puts `records` in place as a listed track without the working files: the editing buffers
  /// and the window's items, as the list builder leaves them.
  void ShowRows(const std::vector<EventRecord>& records) {
    DrumNameCache drums;
    RowNaming naming{session.names, CurrentGenmidi(session), drums};
    for (std::size_t i = 0; i < records.size(); ++i) {
      EventRecord record = records[i];
      const ListRow row = KeptRow(BuildRow(record, static_cast<std::int64_t>(i), naming));
      session.buffers.EventBuffer.push_back(record);
      session.buffers.ListBuffer.push_back(row);
      ui.Items.push_back(ItemOf(TextsOf(row)));
    }
    session.decoder.LastEventIndex = static_cast<std::int64_t>(records.size()) - 1;
  }
  /// Writes `records` to notes.dat as a decode leaves it (whole blocks of 100, -1 rows after the
  /// last event) and sets the decoder's row count.
  void DecodedRows(const std::vector<EventRecord>& records) {
    std::string bytes;
    for (const EventRecord& record : records) AppendEventRecord(record, bytes);
    while (bytes.size() % (100 * kEventRecordLength) != 0) AppendEventRecord({}, bytes);
    RecordFile notes(session.AppPath(kNotesDat), kEventRecordLength);
    if (!bytes.empty()) notes.PutRecords(1, bytes);
    notes.Close();
    session.decoder.LastEventIndex = static_cast<std::int64_t>(records.size()) - 1;
  }
  std::string ReportBytes() {
    session.report.Flush();
    return ReadFileBytes(app.Join("logs/song.txt"));
  }
};

}  // namespace quavert::testing
