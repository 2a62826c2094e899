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

TEST_F(WorkingFilesTest, BlockIsWrittenInPlaceAndCleared) {
  ClearEventBlock(session);
  ASSERT_EQ(session.buffers.EventBuffer.size(), 101u);
  for (int row = 0; row < kBlockRows; ++row) session.buffers.EventBuffer[static_cast<std::size_t>(row)] = Row(144, row, 1, 2);
  session.buffers.EventBuffer[100] = Row(128, 1, 1, 1);
  session.decoder.LastEventIndex = 200;  // the 201st event has come: the block holds events 100..199
  session.decoder.BlockRow = 100;
  {
    RecordFile notes(app.Join(kNotesDat), kEventRecordLength);
    FlushEventBlock(session, notes);
    notes.Close();
  }
  const auto records = NotesRecords();
  ASSERT_EQ(records.size(), 200u);
  EXPECT_EQ(records[100], Row(144, 0, 1, 2));
  EXPECT_EQ(records[199], Row(144, 99, 1, 2));
  EXPECT_EQ(session.decoder.BlockRow, 0);
  for (const EventRecord& row : session.buffers.EventBuffer) EXPECT_EQ(row, kEmpty);
  EXPECT_EQ(AppFileBytes(kNotesDat).substr(100 * kEventRecordLength, kEventRecordLength),
            " 144    0      1      2     -1     -1     -1     ");
}

TEST_F(WorkingFilesTest, HundredEventsFillOneBlock) {
  LoadTrack(Hex("00") + Notes(100) + kEnd);
  EXPECT_EQ(LastEventIndex(), 99);
  EXPECT_EQ(AppFileBytes(kNotesDat).size(), 100 * kEventRecordLength);
  EXPECT_EQ(NotesRecords()[99], Row(144, 99, 64, 0));
}

TEST_F(WorkingFilesTest, LastBlockIsWrittenWholeWithEmptyRows) {
  LoadTrack(Hex("00") + Notes(101) + kEnd);
  EXPECT_EQ(LastEventIndex(), 100);
  auto records = NotesRecords();
  ASSERT_EQ(records.size(), 200u);
  EXPECT_EQ(records[100], Row(144, 100, 64, 0));
  for (std::size_t r = 101; r < 200; ++r) EXPECT_EQ(records[r], kEmpty) << r;
  EXPECT_EQ(AppFileBytes(kNotesDat).substr(199 * kEventRecordLength), std::string("-1     -1     -1     -1     -1     -1     -1     "));

  LoadTrack(Hex("00") + Notes(150) + kEnd);
  EXPECT_EQ(LastEventIndex(), 149);
  records = NotesRecords();
  ASSERT_EQ(records.size(), 200u);
  EXPECT_EQ(records[149], Row(144, 149 % 128, 64, 0));
  for (std::size_t r = 150; r < 200; ++r) EXPECT_EQ(records[r], kEmpty) << r;
}

TEST_F(WorkingFilesTest, ShorterTrackLeavesTheLongerOnesRecordsBeyondItsBlock) {
  Load(Smf(1, 96, {Hex("00") + Notes(250) + kEnd, Hex("00 91 40 20 00") + Notes(29) + kEnd}));
  ASSERT_EQ(LastEventIndex(), 249);
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

TEST_F(WorkingFilesTest, DecodeKeepsOnlyOneBlockInMemory) {
  session.buffers.EventBuffer.assign(5000, Row(1, 1, 1, 1));
  LoadTrack(Hex("00") + Notes(5) + kEnd);
  EXPECT_EQ(session.buffers.EventBuffer.size(), 101u);
  EXPECT_EQ(session.decoder.BlockRow, 0);
}

}  // namespace
}  // namespace quavert
