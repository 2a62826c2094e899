#include <gtest/gtest.h>

#include "common/byte_reader.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using testing::Hex;

TEST(ByteReader, ReadsBigEndianWithinItsRangeAndNeverPastIt) {
  testing::TempFolder folder;
  testing::WriteFileBytes(folder.Join("f"), Hex("4D 54 68 64 00 00 00 06 01 02 03"));
  BinaryFile file(folder.Join("f"), BinaryFile::Mode::kRead);

  ByteReader whole(file, 1, 11);
  EXPECT_EQ(whole.U32be(), 0x4D546864u);
  EXPECT_EQ(whole.U32be(), 6u);
  EXPECT_EQ(whole.Position(), 9);
  EXPECT_EQ(whole.U16be(), 0x0102);
  EXPECT_EQ(whole.Remaining(), 1);
  EXPECT_EQ(whole.U8(), 3);
  EXPECT_TRUE(whole.AtEnd());
  EXPECT_THROW(whole.U8(), ReadPastLimit);

  ByteReader part(file, 5, 8);  // the file goes on; the range does not
  EXPECT_THROW(part.Skip(5), ReadPastLimit);
  EXPECT_THROW(part.Bytes(5), ReadPastLimit);
  EXPECT_EQ(part.Bytes(4), Hex("00 00 00 06"));
  EXPECT_THROW(part.U8(), ReadPastLimit);

  ByteReader longer(file, 10, 1000000);  // a range longer than the file ends with the file
  EXPECT_EQ(longer.Remaining(), 2);
  EXPECT_EQ(longer.U16be(), 0x0203);
  EXPECT_THROW(longer.U8(), ReadPastLimit);
  ByteReader beyond(file, 20, 10);
  EXPECT_TRUE(beyond.AtEnd());
  EXPECT_THROW(beyond.U8(), ReadPastLimit);
}

}  // namespace
}  // namespace quavert
