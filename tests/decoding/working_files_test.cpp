#include <gtest/gtest.h>

#include <tuple>

#include "decoding/working_files.h"
#include "decoding_fixture.h"

namespace quavert {
namespace {

using namespace testing;

class WorkingFilesTest : public DecodingTest {};

TEST_F(WorkingFilesTest, RowsGoOutInWholeBlocksOfAHundredEndedByEmptyRows) {
  for (int events : {100, 101, 20000}) {  // in this order, each file covers the one before
    SCOPED_TRACE(events);
    LoadTrack(Hex("00") + Notes(events) + kEnd);
    const std::string bytes = AppFileBytes(kNotesDat);
    const std::size_t blocks = static_cast<std::size_t>(events + 99) / 100;
    ASSERT_EQ(bytes.size(), blocks * 100 * kEventRecordLength);
    EXPECT_EQ(bytes.substr(0, kEventRecordLength), " 144    0      64     0     -1     -1     -1     ");
    const auto records = NotesRecords();
    for (int row = 0; row < events; ++row)
      ASSERT_EQ(records[static_cast<std::size_t>(row)], Row(144, row % 128, 64, 0)) << row;
    for (std::size_t record = static_cast<std::size_t>(events); record < records.size(); ++record)
      EXPECT_EQ(bytes.substr(record * kEventRecordLength, kEventRecordLength),
                "-1     -1     -1     -1     -1     -1     -1     ") << record;
    EXPECT_EQ(session.buffers.EventBuffer.size(), 101u) << "one block in memory";
  }
}

TEST_F(WorkingFilesTest, ShorterTrackLeavesTheLongerOnesRecordsBeyondItsBlock) {
  Load(Smf(1, 96, {Hex("00") + Notes(250) + kEnd, Hex("00 91 40 20 00") + Notes(29) + kEnd}));
  const auto first = NotesRecords();
  Choose(2);
  // Its 30 rows, 70 empty ones, then the first track's rows and empty rows as they were.
  std::vector<EventRecord> expected = {Row(145, 64, 32, 0)};
  for (int row = 0; row < 29; ++row) expected.push_back(Row(144, row, 64, 0));
  expected.resize(100);
  expected.insert(expected.end(), first.begin() + 100, first.end());
  EXPECT_EQ(std::tuple(LastEventIndex(), NotesRecords() == expected), std::tuple(29, true));
}

}  // namespace
}  // namespace quavert
