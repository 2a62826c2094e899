#include <gtest/gtest.h>

#include "common/record_file.h"
#include "decoding/working_files.h"
#include "decoding_fixture.h"

namespace quavert {
namespace {

using testing::Hex;
using testing::kEnd;
using testing::Notes;
using testing::Row;
using testing::Smf;

class WorkingFilesTest : public testing::DecodingTest {};

const EventRecord kEmpty{};
const std::string kEmptyRecord = "-1     -1     -1     -1     -1     -1     -1     ";

TEST_F(WorkingFilesTest, FullBlockGoesToTheRecordsOfItsEvents) {
  ClearEventBlock(session);
  ASSERT_EQ(session.buffers.EventBuffer.size(), 101u);
  for (std::size_t row = 0; row <= 100; ++row) session.buffers.EventBuffer[row] = Row(144, static_cast<int>(row), 1, 2);
  session.decoder.LastEventIndex = 200;  // the 201st event has come: the block holds events 100..199
  {
    RecordFile notes(app.Join(kNotesDat), kEventRecordLength);
    FlushEventBlock(session, notes);
    notes.Close();
  }
  const std::string bytes = AppFileBytes(kNotesDat);
  ASSERT_EQ(bytes.size(), 200 * kEventRecordLength);
  EXPECT_EQ(bytes.substr(100 * kEventRecordLength, kEventRecordLength), " 144    0      1      2     -1     -1     -1     ");
  EXPECT_EQ(NotesRecords()[199], Row(144, 99, 1, 2));
  EXPECT_EQ(session.decoder.BlockRow, 0);
  for (const EventRecord& row : session.buffers.EventBuffer) EXPECT_EQ(row, kEmpty);
}

TEST_F(WorkingFilesTest, LastBlockIsWrittenWholeWithEmptyRows) {
  for (int events : {100, 101, 150}) {
    LoadTrack(Hex("00") + Notes(events) + kEnd);
    EXPECT_EQ(LastEventIndex(), events - 1);
    const std::string bytes = AppFileBytes(kNotesDat);
    ASSERT_EQ(bytes.size(), (events > 100 ? 200 : 100) * kEventRecordLength) << events;
    EXPECT_EQ(NotesRecords()[static_cast<std::size_t>(events - 1)], Row(144, (events - 1) % 128, 64, 0));
    for (std::size_t record = static_cast<std::size_t>(events); record < bytes.size() / kEventRecordLength; ++record)
      EXPECT_EQ(bytes.substr(record * kEventRecordLength, kEventRecordLength), kEmptyRecord) << events << " " << record;
    // A fresh file each time: the longer track's records must not hide a short one's.
    ASSERT_EQ(::remove(app.Join(kNotesDat).c_str()), 0);
  }
}

TEST_F(WorkingFilesTest, ShorterTrackLeavesTheLongerOnesRecordsBeyondItsBlock) {
  Load(Smf(1, 96, {Hex("00") + Notes(250) + kEnd, Hex("00 91 40 20 00") + Notes(29) + kEnd}));
  const auto first = NotesRecords();
  Choose(2);
  EXPECT_EQ(LastEventIndex(), 29);
  const auto records = NotesRecords();
  ASSERT_EQ(records.size(), 300u);
  EXPECT_EQ(records[0], Row(145, 64, 32, 0));
  EXPECT_EQ(records[29], Row(144, 28, 64, 0));
  for (std::size_t r = 30; r < 100; ++r) EXPECT_EQ(records[r], kEmpty) << r;
  for (std::size_t r = 100; r < 300; ++r) EXPECT_EQ(records[r], first[r]) << r;
  EXPECT_EQ(records[249], Row(144, 249 % 128, 64, 0));
  EXPECT_TRUE(session.NotesDatMade);
}

}  // namespace
}  // namespace quavert
