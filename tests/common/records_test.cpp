#include <gtest/gtest.h>

#include <vector>

#include "common/number_text.h"
#include "common/run_error.h"
#include "decoding/records.h"

namespace quavert {
namespace {

TEST(EventRecordFields, SevenCharactersThatReadBackExactly) {
  struct Case {
    std::int32_t value;
    const char* text;
  };
  for (const Case& c : {Case{144, " 144   "}, Case{-1, "-1     "}, Case{0, " 0     "}, Case{999999, " 999999"},
                        Case{-176, "-176   "}, Case{1048576, "1048576"}, Case{2097279, "2097279"},
                        Case{60000000, "6E7    "}}) {
    EXPECT_EQ(EventFieldText(c.value), c.text) << c.value;
    EXPECT_EQ(EventFieldValue(c.text), c.value) << c.value;
  }
  for (std::int32_t value : {1000000, 9999999, 30000000, 12000000, -999999})
    EXPECT_EQ(EventFieldValue(EventFieldText(value)), value) << value;
  EXPECT_THROW(EventFieldText(12345678), RunError);
}

TEST(EventRecordFields, RecordRoundTripAndTheListingsTwoFields) {
  const EventRecord record{-176, 10, 64, 2097279, -1, -1, -1};
  std::string bytes;
  AppendEventRecord(record, bytes);
  ASSERT_EQ(bytes.size(), kEventRecordLength);
  EXPECT_EQ(bytes, "-176    10     64    2097279-1     -1     -1     ");
  EXPECT_EQ(ParseEventRecord(bytes), record);

  EventRecord listed = record;
  listed.RowKind = -5;
  listed.NoteState = 1;
  listed.Data1 = 99;  // not a field a listing sets: left as it stands
  WriteListingFields(listed, bytes.data());
  EXPECT_EQ(bytes, "-176    10     64    2097279-5     -1      1     ");
}

TEST(EventRecordFields, AnyTextReadsAsItsLeadingNumberAndOnlyWrittenFormsAreExact) {
  // Texts this program never writes still read as the general reading of a number says.
  for (const char* text : {"+5     ", "-0     ", " 007   ", "\t7     ", " 12 34 ", "12x    ", "       ", "-      ",
                           " 1.5   ", " 2.5   ", ".7     ", " 1e3   ", " 12e   ", "-2.5E1 ", " 99999x", "   1   "}) {
    const std::string field(text);
    std::string record;
    for (int i = 0; i < 7; ++i) record += field;
    bool exact = true;
    const EventRecord read = ParseEventRecord(record, &exact);
    EXPECT_EQ(read.Status, ToLong(LeadingNumber(field))) << '"' << text << '"';
    EXPECT_EQ(read.NoteState, read.Status) << '"' << text << '"';
    EXPECT_FALSE(exact) << '"' << text << '"';
  }
  // Only the sign-position forms of six digits or fewer are written as they stand.
  std::vector<std::int32_t> values = {-999999, -100000, 99999, 999999, 1000000, 2097279};
  for (std::int32_t v = -300; v <= 1100; ++v) values.push_back(v);
  for (std::int32_t value : values) {
    const EventRecord record{value, value, -1, value, -5, -2, 1};
    std::string bytes;
    AppendEventRecord(record, bytes);
    bool exact = false;
    EXPECT_EQ(ParseEventRecord(bytes, &exact), record) << value;
    EXPECT_EQ(exact, value >= -999999 && value <= 999999) << value;
  }
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
