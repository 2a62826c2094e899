#include <gtest/gtest.h>

#include "common/byte_reader.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using testing::Hex;

class ByteReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WriteFileBytes(folder.Join("f"), Hex("4D 54 68 64 00 00 00 06 01 02 03"));
    file = BinaryFile(folder.Join("f"), BinaryFile::Mode::kRead);
  }
  testing::TempFolder folder;
  BinaryFile file;
};

TEST_F(ByteReaderTest, ReadsBigEndianValuesAndKnowsItsPosition) {
  ByteReader reader(file, 1, 11);
  EXPECT_EQ(reader.U32be(), 0x4D546864u);
  EXPECT_EQ(reader.U32be(), 6u);
  EXPECT_EQ(reader.Position(), 9);
  EXPECT_EQ(reader.U16be(), 0x0102);
  EXPECT_EQ(reader.Remaining(), 1);
  EXPECT_EQ(reader.U8(), 3);
  EXPECT_TRUE(reader.AtEnd());
}

TEST_F(ByteReaderTest, NeverReadsPastTheEndOfItsRange) {
  ByteReader reader(file, 5, 8);
  reader.Skip(3);
  EXPECT_EQ(reader.U8(), 6);
  EXPECT_THROW(reader.U8(), ReadPastLimit);
  ByteReader other(file, 5, 8);
  EXPECT_THROW(other.Skip(5), ReadPastLimit);
  EXPECT_THROW(other.Bytes(5), ReadPastLimit);
  EXPECT_EQ(other.Bytes(4), Hex("00 00 00 06"));
}

TEST_F(ByteReaderTest, ARangeLongerThanTheFileEndsWithTheFile) {
  ByteReader reader(file, 10, 1000000);
  EXPECT_EQ(reader.Remaining(), 2);
  EXPECT_EQ(reader.U16be(), 0x0203);
  EXPECT_THROW(reader.U8(), ReadPastLimit);
  ByteReader empty(file, 20, 10);
  EXPECT_TRUE(empty.AtEnd());
  EXPECT_THROW(empty.U8(), ReadPastLimit);
}

}  // namespace
}  // namespace quavert
