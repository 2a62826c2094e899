#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "common/number_text.h"
#include "common/run_error.h"
#include "decoding/records.h"

namespace quavert {
namespace {

int ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const RunError& error) {
    return error.code();
  }
  return 0;
}

using Texts = std::vector<std::string>;

TEST(NumberText, SignedPlainPaddedTrimmedAndCased) {
  EXPECT_EQ((Texts{SignedNumber(144), SignedNumber(0), SignedNumber(-1), PlainNumber(144), PlainNumber(-17)}),
            (Texts{" 144", " 0", "-1", "144", "-17"}));
  EXPECT_EQ((Texts{PadRight("C5", 4), PadRight("12345", 3), PadLeft("7", 6), std::string(Trim("  a b  ")), std::string(TrimLeft("  a ")),
                   std::string(TrimRight("  a ")), UpperCase("song.mid\xE4"), LowerCase("SONG.MID")}),
            (Texts{"C5  ", "12345", "     7", "a b", "a ", "  a", "SONG.MID\xE4", "song.mid"}));
}

TEST(NumberText, LeadingNumberReadsUpToTheFirstOtherCharacter) {
  for (const auto& [text, value] : std::vector<std::pair<const char*, double>>{
           {"120abc", 120}, {"   96.5 ticks", 96.5}, {"-5", -5}, {"+7x", 7}, {"1.5e2", 150}, {"6E7", 60000000},
           {"2e", 2}, {"3e+", 3}, {".5", 0.5}, {"C4", 0}, {"", 0}, {"-", 0}, {".", 0}, {"1 2", 1}})
    EXPECT_EQ(LeadingNumber(text), value) << '"' << text << '"';
  EXPECT_EQ(ErrorOf([] { LeadingNumber("1e400"); }), kOverflow);
}

TEST(NumberText, RoundingIsHalfToEvenAndOutOfRangeIsOverflow) {
  for (const auto& [value, rounded] : std::vector<std::pair<double, std::int32_t>>{
           {96.5, 96}, {97.5, 98}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {2147483647.0, 2147483647}})
    EXPECT_EQ(ToLong(value), rounded) << value;
  EXPECT_EQ(ToInteger(32767.4), 32767);
  EXPECT_EQ(ToInteger(-32768), -32768);
  for (double value : {32767.5, 40000.0, -32769.0}) EXPECT_EQ(ErrorOf([&] { ToInteger(value); }), kOverflow) << value;
  for (double value : {2147483647.5, 3e9, -2147483649.0}) EXPECT_EQ(ErrorOf([&] { ToLong(value); }), kOverflow);
}

TEST(EventRecordFields, SevenCharactersThatReadBackExactly) {
  for (const auto& [value, text] : std::vector<std::pair<std::int32_t, const char*>>{
           {144, " 144   "}, {-1, "-1     "}, {0, " 0     "}, {999999, " 999999"}, {-176, "-176   "},
           {1048576, "1048576"}, {2097279, "2097279"}, {60000000, "6E7    "}}) {
    EXPECT_EQ(EventFieldText(value), text) << value;
    EXPECT_EQ(EventFieldValue(text), value) << value;
  }
  EXPECT_THROW(EventFieldText(12345678), RunError);

  const EventRecord record{-176, 10, 64, 2097279, -1, -1, -1};
  std::string bytes;
  AppendEventRecord(record, bytes);
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
  for (const std::string field : {"+5     ", "-0     ", " 007   ", "\t7     ", " 12 34 ", "12x    ", "       ",
                                  "-      ", " 1.5   ", " 2.5   ", ".7     ", " 1e3   ", " 12e   ", "-2.5E1 ",
                                  " 99999x", "   1   "}) {
    std::string record;
    for (int i = 0; i < 7; ++i) record += field;
    bool exact = true;
    const EventRecord read = ParseEventRecord(record, &exact);
    EXPECT_EQ(read.Status, ToLong(LeadingNumber(field))) << '"' << field << '"';
    EXPECT_EQ(read.NoteState, read.Status) << '"' << field << '"';
    EXPECT_FALSE(exact) << '"' << field << '"';
  }
  // Only the sign-position forms of six digits or fewer are written as they stand.
  std::vector<std::int32_t> values = {-999999, -100000, 99999, 999999, 1000000, 2097279, 9999999, 12000000, 30000000};
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
  std::string bytes;
  AppendListRow({"C10", "C#10x", "127", "1234567", std::string(45, 'd')}, bytes);
  EXPECT_EQ(bytes, "C10C#10127123456" + std::string(40, 'd'));
  EXPECT_EQ(ParseListRow(bytes), (ListRow{"C10", "C#10", "127", "123456", std::string(40, 'd')}));
  std::string shortRow;
  AppendListRow({"C1", "C5", "", "0", "On"}, shortRow);
  EXPECT_EQ(shortRow, "C1 C5     0     On" + std::string(38, ' '));
  EXPECT_EQ(ParseListRow(shortRow), (ListRow{"C1", "C5", "", "0", "On"}));
}

}  // namespace
}  // namespace quavert
