#include <gtest/gtest.h>

#include <vector>

#include "common/number_text.h"
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

TEST(EventRecordFields, EveryTextReadsAsItsLeadingNumber) {
  // Texts this program never writes still read as the general reading of a number says.
  for (const char* text : {" 144   ", "-1     ", "  12   ", "+5     ", "-0     ", " 007   ", "\t7     ", " 12 34 ",
                           "12x    ", "       ", "-      ", " 1.5   ", " 2.5   ", " 3.5   ", ".7     ", " 1e3   ",
                           " 12e   ", "-2.5E1 ", "1048576", "6E7    ", " 99999x", "9999999"}) {
    const std::string field(text);
    EXPECT_EQ(EventFieldValue(field), ToLong(LeadingNumber(field))) << '"' << text << '"';
    std::string record;
    for (int i = 0; i < 7; ++i) record += field;
    const EventRecord read = ParseEventRecord(record);
    EXPECT_EQ(read.Status, ToLong(LeadingNumber(field))) << '"' << text << '"';
    EXPECT_EQ(read.NoteState, read.Status) << '"' << text << '"';
  }
}

TEST(EventRecordFields, ExactRecordsAreTheOnesWrittenAsTheyStand) {
  // Every value near the ends of the written forms, and a sweep through the common ones.
  std::vector<std::int32_t> values = {-999999, -100000, -1000, 999, 1000, 1023, 1024, 99999, 999999, 1000000, 2097279};
  for (std::int32_t v = -300; v <= 1100; ++v) values.push_back(v);
  for (std::int32_t value : values) {
    const EventRecord record{value, value, -1, value, -5, -2, 1};
    std::string bytes;
    AppendEventRecord(record, bytes);
    const std::int32_t fields[] = {record.Status,  record.Data1,    record.Data2,    record.Delta,
                                   record.RowKind, record.MetaMark, record.NoteState};
    for (std::size_t field = 0; field < 7; ++field)
      ASSERT_EQ(bytes.substr(field * 7, 7), EventFieldText(fields[field])) << value;
    bool exact = false;
    EXPECT_EQ(ParseEventRecord(bytes, &exact), record) << value;
    // Only the sign-position forms of six digits or fewer are written as they stand.
    EXPECT_EQ(exact, value >= -999999 && value <= 999999) << value;
  }
  for (const char* odd : {" 007   ", "+5     ", "-0     ", " 12 34 ", "   1   ", " 1    x"}) {
    std::string bytes = std::string(odd) + std::string(42, ' ');
    bytes.replace(7, 7, " 60    ");
    bool exact = true;
    ParseEventRecord(bytes, &exact);
    EXPECT_FALSE(exact) << '"' << odd << '"';
  }
}

TEST(EventRecordFields, AListingWritesOnlyItsTwoFields) {
  const EventRecord before{-176, 10, 64, 2097279, -1, -1, -1};
  std::string bytes;
  AppendEventRecord(before, bytes);
  EventRecord after = before;
  after.RowKind = -5;
  after.NoteState = 1;
  after.Data1 = 99;  // not a field a listing sets: left as it stands
  WriteListingFields(after, bytes.data());
  EXPECT_EQ(bytes, "-176    10     64    2097279-5     -1      1     ");
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
