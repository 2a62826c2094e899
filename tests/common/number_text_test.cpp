#include <gtest/gtest.h>

#include "common/number_text.h"
#include "common/run_error.h"

namespace quavert {
namespace {

TEST(NumberText, SignPositionAndPlainForms) {
  EXPECT_EQ(SignedNumber(144), " 144");
  EXPECT_EQ(SignedNumber(0), " 0");
  EXPECT_EQ(SignedNumber(-1), "-1");
  EXPECT_EQ(PlainNumber(144), "144");
  EXPECT_EQ(PlainNumber(-17), "-17");
}

TEST(NumberText, LeadingNumberReadsUpToTheFirstOtherCharacter) {
  EXPECT_EQ(LeadingNumber("120abc"), 120);
  EXPECT_EQ(LeadingNumber("   96.5 ticks"), 96.5);
  EXPECT_EQ(LeadingNumber("-5"), -5);
  EXPECT_EQ(LeadingNumber("+7x"), 7);
  EXPECT_EQ(LeadingNumber("1.5e2"), 150);
  EXPECT_EQ(LeadingNumber("6E7"), 60000000);
  EXPECT_EQ(LeadingNumber("2e"), 2);    // an exponent without digits is not read
  EXPECT_EQ(LeadingNumber("3e+"), 3);
  EXPECT_EQ(LeadingNumber(".5"), 0.5);
  EXPECT_EQ(LeadingNumber("C4"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("-"), 0);
  EXPECT_EQ(LeadingNumber("."), 0);
  EXPECT_EQ(LeadingNumber("1 2"), 1);
}

TEST(NumberText, LeadingNumberTooLargeForADoubleIsOverflow) {
  try {
    LeadingNumber("1e400");
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_EQ(error.code(), kOverflow);
  }
}

TEST(NumberText, RoundingIsHalfToEven) {
  EXPECT_EQ(ToLong(96.5), 96);
  EXPECT_EQ(ToLong(97.5), 98);
  EXPECT_EQ(ToLong(-0.5), 0);
  EXPECT_EQ(ToLong(-1.5), -2);
  EXPECT_EQ(ToLong(2.4999), 2);
  EXPECT_EQ(ToInteger(32767.4), 32767);
  EXPECT_EQ(ToInteger(-32768), -32768);
}

TEST(NumberText, ConversionsOutOfRangeAreOverflow) {
  for (double value : {32767.5, 40000.0, -32769.0}) {
    try {
      ToInteger(value);
      FAIL() << value;
    } catch (const RunError& error) {
      EXPECT_EQ(error.code(), kOverflow) << value;
    }
  }
  for (double value : {2147483647.5, 3e9, -2147483649.0}) {
    try {
      ToLong(value);
      FAIL() << value;
    } catch (const RunError& error) {
      EXPECT_EQ(error.code(), kOverflow) << value;
    }
  }
  EXPECT_EQ(ToLong(2147483647.0), 2147483647);
}

TEST(NumberText, PaddingAndTrimming) {
  EXPECT_EQ(PadRight("C5", 4), "C5  ");
  EXPECT_EQ(PadRight("12345", 3), "12345");
  EXPECT_EQ(PadLeft("7", 6), "     7");
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(UpperCase("song.mid\xE4"), "SONG.MID\xE4");
  EXPECT_EQ(LowerCase("SONG.MID"), "song.mid");
}

}  // namespace
}  // namespace quavert
