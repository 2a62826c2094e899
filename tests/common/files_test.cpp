#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "common/binary_file.h"
#include "common/block_copy.h"
#include "common/byte_reader.h"
#include "common/file_system.h"
#include "common/record_file.h"
#include "common/run_error.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

int CodeOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const RunError& error) {
    return error.code();
  }
  return 0;
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

class FilesTest : public ::testing::Test {
 protected:
  std::string At(const std::string& name) const { return folder.Join(name); }
  testing::TempFolder folder;
};

TEST_F(FilesTest, ByteReaderReadsBigEndianWithinItsRangeAndNeverPastIt) {
  WriteFileBytes(At("f"), testing::Hex("4D 54 68 64 00 00 00 06 01 02 03"));
  BinaryFile file(At("f"), BinaryFile::Mode::kRead);
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
  EXPECT_EQ(part.Bytes(4), testing::Hex("00 00 00 06"));
  EXPECT_THROW(part.U8(), ReadPastLimit);

  ByteReader longer(file, 10, 1000000);  // a range longer than the file ends with the file
  EXPECT_EQ(longer.Remaining(), 2);
  EXPECT_EQ(longer.U16be(), 0x0203);
  EXPECT_THROW(longer.U8(), ReadPastLimit);
  EXPECT_THROW(ByteReader(file, 20, 10).U8(), ReadPastLimit);
}

TEST_F(FilesTest, BlocksOfAtMost5000CopyExactlyTheBytesAskedFor) {
  BlockIo io;
  io.BytesLeft = 12000;
  for (int i = 0; i < 3; ++i) NextBlock(io);
  EXPECT_EQ(io.BytesLeft, -3000);  // always 5000 less, as the copy loops rely on
  EXPECT_EQ(io.BlockBuffer, std::string(2000, ' '));

  std::string data;
  for (int i = 0; i < 12345; ++i) data.push_back(static_cast<char>(i * 7));
  WriteFileBytes(At("in"), data);
  BinaryFile input(At("in"), BinaryFile::Mode::kRead);
  BinaryFile output(At("out"), BinaryFile::Mode::kCreate);
  input.Seek(3);
  io.BytesLeft = 10001;
  CopyBlocks(io, input, output);
  output.Close();
  EXPECT_EQ(ReadFileBytes(At("out")), data.substr(2, 10001));
}

TEST_F(FilesTest, BinaryFileOneBasedPositionsLargeWritesAndSync) {
  BinaryFile file(At("f"), BinaryFile::Mode::kCreate);
  file.Write("abcdef");
  file.Seek(3);
  file.Write("XY");
  file.Seek(1);
  char buffer[8] = {};
  EXPECT_EQ(file.Read(buffer, 8), 6u);
  EXPECT_TRUE(file.PastEnd());
  EXPECT_EQ(std::string(buffer, 6), "abXYef");

  file.Seek(1);
  file.Write("head");
  file.Write(std::string(200000, 'L'));  // goes out directly, after the buffered bytes
  file.Write("tail");                    // buffered again
  file.Seek(3);
  file.Write(std::string(70000, 'm'));   // over what was written, while "tail" waits
  EXPECT_EQ(file.Length(), 4 + 200000 + 4);
  file.Write("!");  // buffered: in the file only once a sync starts
  EXPECT_EQ(ReadFileBytes(At("f"))[70002], 'L');
  file.StartSync();
  EXPECT_EQ(ReadFileBytes(At("f")), "he" + std::string(70000, 'm') + "!" + std::string(130001, 'L') + "tail");
  file.Write("?");
  file.Sync();
  EXPECT_EQ(ReadFileBytes(At("f"))[70003], '?');
  file.Close();
  EXPECT_EQ(CodeOf([&] { file.StartSync(); }), kBadFileNameOrNumber);
}

TEST_F(FilesTest, FailuresCarryTheirErrorNumbers) {
  EXPECT_EQ(CodeOf([&] { BinaryFile(At("missing"), BinaryFile::Mode::kRead); }), kFileNotFound);
  EXPECT_EQ(CodeOf([&] { BinaryFile(At("no/such/file"), BinaryFile::Mode::kCreate); }), kPathNotFound);
  EXPECT_EQ(CodeOf([&] { BinaryFile(folder.Path(), BinaryFile::Mode::kRead); }), kPathFileAccess);
  ASSERT_EQ(::mkfifo(At("pipe").c_str(), 0600), 0);
  EXPECT_EQ(CodeOf([&] { BinaryFile(At("pipe"), BinaryFile::Mode::kRead); }), kPathFileAccess)
      << "a named pipe is refused at once, not waited on";
  EXPECT_EQ(CodeOf([&] { FileLength(At("missing")); }), kFileNotFound);
  EXPECT_EQ(CodeOf([&] { DeleteFile(At("missing")); }), kFileNotFound);
  MakeFolder(At("logs"));
  EXPECT_EQ(CodeOf([&] { MakeFolder(At("logs")); }), kPathFileAccess);
  if (FileExists("/dev/full")) {
    BinaryFile full("/dev/full", BinaryFile::Mode::kReadWrite);
    full.Write("some bytes");
    EXPECT_EQ(CodeOf([&] { full.Close(); }), kDiskFull) << "a full disk is reported when the file is closed";
  }
}

TEST_F(FilesTest, RecordFileFixedLengthOneBasedRecordsAndRunsIntoAReusedBuffer) {
  RecordFile file(At("r.dat"), 4);
  file.PutRecords(2, "bbbbcccc");
  file.Put(1, "aaaa");
  EXPECT_EQ(file.Get(2), "bbbb");
  EXPECT_EQ(file.GetRecords(1, 4), "aaaabbbbcccc    ");  // past the end reads as blanks
  EXPECT_EQ(CodeOf([&] { file.Put(1, "toolong"); }), kBadFileNameOrNumber);
  std::string buffer = "left over from before, longer than the run";
  file.GetRecords(2, 3, buffer);
  EXPECT_EQ(buffer, "bbbbcccc    ");
  file.Close();
  EXPECT_EQ(ReadFileBytes(At("r.dat")), "aaaabbbbcccc");
}

TEST_F(FilesTest, PathPieces) {
  EXPECT_EQ((std::vector<std::string>{JoinPath("/a/b", "c.mid"), JoinPath("/a/b/", "c.mid"), FolderOf("/a/b/c.mid"),
                                      FolderOf("c.mid"), NameOf("/a/b/c.mid")}),
            (std::vector<std::string>{"/a/b/c.mid", "/a/b/c.mid", "/a/b", "", "c.mid"}));
}

TEST_F(FilesTest, SafeCopyAndMoveReplaceTheDestinationWholeOrLeaveNothing) {
  WriteFileBytes(At("from"), "new bytes");
  ::chmod(At("from").c_str(), 0600);
  WriteFileBytes(At("to"), "the old, longer content");
  CopyFileSafely(At("from"), At("to"));
  EXPECT_EQ(ReadFileBytes(At("to")), "new bytes");
  CopyFileSafely(At("from"), "/dev/null");  // a device is written into
  MoveFileSafely(At("from"), "/dev/null");  // and a move to it keeps the source
  EXPECT_EQ(CodeOf([&] { CopyFileSafely(At("missing"), At("new")); }), kFileNotFound);
  EXPECT_EQ(CodeOf([&] { MoveFileSafely(At("missing"), At("new")); }), kFileNotFound);
  EXPECT_FALSE(FileExists(At("new")));
  if (::geteuid() != 0) {  // root writes anywhere
    MakeFolder(At("locked"));
    ::chmod(At("locked").c_str(), 0555);
    EXPECT_EQ(CodeOf([&] { CopyFileSafely(At("from"), At("locked/to")); }), kPathFileAccess);
    EXPECT_FALSE(FileExists(At("locked/to")));
  }
  MakeFolder(At("folder"));
  for (const char* to : {"folder", "no/such/to"}) {  // a failed move copies, fails as the copy did, keeps the source
    const int copied = CodeOf([&] { CopyFileSafely(At("from"), At(to)); });
    EXPECT_NE(copied, 0) << to;
    EXPECT_EQ(CodeOf([&] { MoveFileSafely(At("from"), At(to)); }), copied) << to;
    EXPECT_EQ(ReadFileBytes(At("from")), "new bytes") << to;
  }

  ::chmod(At("to").c_str(), 0640);
  MoveFileSafely(At("from"), At("to"));
  EXPECT_EQ(ReadFileBytes(At("to")), "new bytes");
  EXPECT_EQ(ModeOf(At("to")), 0640u);  // the replaced file's permissions stay
  EXPECT_FALSE(FileExists(At("from")));
  WriteFileBytes(At("from"), "second");
  ::chmod(At("from").c_str(), 0600);
  MoveFileSafely(At("from"), At("fresh"));
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(ModeOf(At("fresh")), 0666u & ~mask);  // a new file gets the usual ones, not the source's
}

}  // namespace
}  // namespace quavert
