#include <gtest/gtest.h>

#include "common/run_error.h"
#include "decoding/records.h"

namespace quavert {
namespace {

TEST(EventRecordFields, SignPositionTextLeftJustifiedInSeven) {
  EXPECT_EQ(EventFieldText(144), " 144   ");
  EXPECT_EQ(EventFieldText(-1), "-1     ");
  EXPECT_EQ(EventFieldText(0), " 0     ");
  EXPECT_EQ(EventFieldText(999999), " 999999");
  EXPECT_EQ(EventFieldText(-176), "-176   ");
}

TEST(EventRecordFields, WideValuesStillReadBackExactly) {
  EXPECT_EQ(EventFieldText(1048576), "1048576");
  EXPECT_EQ(EventFieldText(2097279), "2097279");
  EXPECT_EQ(EventFieldText(60000000), "6E7    ");
  for (std::int32_t value : {0, -1, 999999, 1000000, 2097279, 9999999, 60000000, 30000000, 12000000, -999999})
    EXPECT_EQ(EventFieldValue(EventFieldText(value)), value) << value;
  EXPECT_THROW(EventFieldText(12345678), RunError);
}

TEST(EventRecordFields, RecordRoundTrip) {
  const EventRecord record{-176, 10, 64, 2097279, -5, -1, -1};
  std::string bytes;
  AppendEventRecord(record, bytes);
  ASSERT_EQ(bytes.size(), kEventRecordLength);
  EXPECT_EQ(bytes, "-176    10     64    2097279-5     -1     -1     ");
  EXPECT_EQ(ParseEventRecord(bytes), record);
}

TEST(ListRowFields, CutAndPaddedToTheirWidths) {
  const ListRow row{"C10", "C#10x", "127", "1234567", std::string(45, 'd')};
  std::string bytes;
  AppendListRow(row, bytes);
  ASSERT_EQ(bytes.size(), kListRowLength);
  EXPECT_EQ(bytes.substr(0, 16), "C10C#10127123456");
  const ListRow back = ParseListRow(bytes);
  EXPECT_EQ(back.Notes, "C#10");
  EXPECT_EQ(back.Length, "123456");
  EXPECT_EQ(back.Description, std::string(40, 'd'));
  std::string shortRow;
  AppendListRow({"C1", "C5", "", "0", "On"}, shortRow);
  EXPECT_EQ(shortRow, "C1 C5     0     On" + std::string(38, ' '));
  EXPECT_EQ(ParseListRow(shortRow), (ListRow{"C1", "C5", "", "0", "On"}));
}

}  // namespace
}  // namespace quavert
