#include <gtest/gtest.h>

#include "decoding/meta_format.h"

namespace quavert {
namespace {

TEST(MetaFormatting, NumbersInLines) {
  EXPECT_EQ(Format6(0), "     0");
  EXPECT_EQ(Format6(96), "    96");
  EXPECT_EQ(Format6(999999), "999999");
  EXPECT_EQ(Format6(2097279), "2097279");
  EXPECT_EQ(PadWidth(0), 5);
  EXPECT_EQ(PadWidth(-1), 5);
  EXPECT_EQ(PadWidth(60), 4);
  EXPECT_EQ(PadWidth(999999), 0);
  EXPECT_EQ(PadWidth(1000000), -1);
  EXPECT_EQ(TrimNumber(120), "120");
  EXPECT_EQ(TrimNumber(-5), "-5");
  EXPECT_EQ(TrimNumber(0), "0");
}

TEST(MetaFormatting, HighAndLowByte) {
  EXPECT_EQ(HighByte(480), 1);
  EXPECT_EQ(LowByte(480), 224);
  EXPECT_EQ(HighByte(65535), 255);
  EXPECT_EQ(LowByte(65535), 255);
  EXPECT_EQ(HighByte(255), 0);
  EXPECT_EQ(LowByte(256), 0);
  // The integer part is the floor, as for negative values.
  EXPECT_EQ(HighByte(-1), -1);
  EXPECT_EQ(LowByte(-1), 255);
}

TEST(MetaFormatting, KeyNamesFromSevenFlatsToSevenSharps) {
  EXPECT_EQ(SignatureText(-3), "-3");
  EXPECT_EQ(SignatureText(0), "0");
  EXPECT_EQ(SignatureText(2), "+2");
  const char* majors[] = {"Cb", "Gb", "Db", "Ab", "Eb", "Bb", "F", "C", "G", "D", "A", "E", "B", "F#", "C#"};
  const char* minors[] = {"Ab", "Eb", "Bb", "F", "C", "G", "D", "A", "E", "B", "F#", "C#", "G#", "D#", "A#"};
  for (int sf = -7; sf <= 7; ++sf) {
    EXPECT_EQ(KeyName(SignatureText(sf), 0), std::string(majors[sf + 7]) + " Major") << sf;
    EXPECT_EQ(KeyName(SignatureText(sf), 1), std::string(minors[sf + 7]) + " Minor") << sf;
  }
  EXPECT_EQ(KeyName("-8", 0), "Unknown Key");
  EXPECT_EQ(KeyName("+8", 1), "Unknown Key");
  EXPECT_EQ(KeyName("5", 0), "Unknown Key");  // not a signature text: sharps carry their sign
  EXPECT_EQ(KeyName("", 0), "Unknown Key");
}

}  // namespace
}  // namespace quavert
