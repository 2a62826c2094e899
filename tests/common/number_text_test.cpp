#include <gtest/gtest.h>

#include "common/number_text.h"
#include "common/run_error.h"

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

TEST(NumberText, SignPositionAndPlainForms) {
  EXPECT_EQ(SignedNumber(144), " 144");
  EXPECT_EQ(SignedNumber(0), " 0");
  EXPECT_EQ(SignedNumber(-1), "-1");
  EXPECT_EQ(PlainNumber(144), "144");
  EXPECT_EQ(PlainNumber(-17), "-17");
}

TEST(NumberText, LeadingNumberReadsUpToTheFirstOtherCharacter) {
  struct Case {
    const char* text;
    double value;
  };
  for (const Case& c : {Case{"120abc", 120}, Case{"   96.5 ticks", 96.5}, Case{"-5", -5}, Case{"+7x", 7},
                        Case{"1.5e2", 150}, Case{"6E7", 60000000}, Case{"2e", 2}, Case{"3e+", 3}, Case{".5", 0.5},
                        Case{"C4", 0}, Case{"", 0}, Case{"-", 0}, Case{".", 0}, Case{"1 2", 1}})
    EXPECT_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
  EXPECT_EQ(ErrorOf([] { LeadingNumber("1e400"); }), kOverflow);
}

TEST(NumberText, RoundingIsHalfToEvenAndOutOfRangeIsOverflow) {
  EXPECT_EQ(ToLong(96.5), 96);
  EXPECT_EQ(ToLong(97.5), 98);
  EXPECT_EQ(ToLong(-0.5), 0);
  EXPECT_EQ(ToLong(-1.5), -2);
  EXPECT_EQ(ToLong(2.4999), 2);
  EXPECT_EQ(ToLong(2147483647.0), 2147483647);
  EXPECT_EQ(ToInteger(32767.4), 32767);
  EXPECT_EQ(ToInteger(-32768), -32768);
  for (double value : {32767.5, 40000.0, -32769.0})
    EXPECT_EQ(ErrorOf([&] { ToInteger(value); }), kOverflow) << value;
  for (double value : {2147483647.5, 3e9, -2147483649.0})
    EXPECT_EQ(ErrorOf([&] { ToLong(value); }), kOverflow) << value;
}

TEST(NumberText, PaddingTrimmingAndCase) {
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
