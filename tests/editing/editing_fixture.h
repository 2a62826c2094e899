#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "decoding/records.h"
#include "editing/name_lookups.h"
#include "support/session_fixture.h"

namespace quavert::testing {

/// A session with its name tables filled, the build's genmidi.ini in its application folder and
/// SONG.MID loaded as track 1, its report open.
class EditingTest : public SessionTest {
 protected:
  EditingTest() {
    FillNameTables(session.names);
    session.file.WorkCopyName = kWorkCopyName;
    session.file.ShortName = "SONG.MID";
    session.file.MidiPath = "/music/song.mid";
    session.file.ReportHeadDone = true;
    session.report.Create(app.Join("logs/song.txt"));
  }

  /// Writes `records` to notes.dat as a decode leaves it (whole blocks of 100, -1 rows after the
  /// last event) and sets the decoder's row count.
  void DecodedRows(const std::vector<EventRecord>& records) {
    std::string bytes;
    for (const EventRecord& record : records) AppendEventRecord(record, bytes);
    while (bytes.size() % (100 * kEventRecordLength) != 0) AppendEventRecord({}, bytes);
    WriteFileBytes(session.AppPath(kNotesDat), bytes);
    session.decoder.LastEventIndex = static_cast<std::int64_t>(records.size()) - 1;
  }
};

}  // namespace quavert::testing
