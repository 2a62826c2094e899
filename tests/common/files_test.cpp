#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/binary_file.h"
#include "common/block_copy.h"
#include "common/file_system.h"
#include "common/record_file.h"
#include "common/run_error.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

int CodeOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const RunError& error) {
    return error.code();
  }
  return 0;
}

TEST(BlockCopy, NextBlockTakesAtMost5000AndAlwaysSubtracts5000) {
  BlockIo io;
  io.BytesLeft = 12000;
  NextBlock(io);
  EXPECT_EQ(io.BlockLen, 5000);
  EXPECT_EQ(io.BytesLeft, 7000);
  NextBlock(io);
  NextBlock(io);
  EXPECT_EQ(io.BlockLen, 2000);
  EXPECT_EQ(io.BytesLeft, -3000);
  EXPECT_EQ(io.BlockBuffer, std::string(2000, ' '));
}

TEST(BlockCopy, CopiesExactlyTheBytesAskedFor) {
  TempFolder folder;
  std::string data;
  for (int i = 0; i < 12345; ++i) data.push_back(static_cast<char>(i * 7));
  WriteFileBytes(folder.Join("in"), data);
  BinaryFile input(folder.Join("in"), BinaryFile::Mode::kRead);
  BinaryFile output(folder.Join("out"), BinaryFile::Mode::kCreate);
  input.Seek(3);
  BlockIo io;
  io.BytesLeft = 10001;
  CopyBlocks(io, input, output);
  output.Close();
  EXPECT_EQ(ReadFileBytes(folder.Join("out")), data.substr(2, 10001));

  BinaryFile empty(folder.Join("empty"), BinaryFile::Mode::kCreate);
  io.BytesLeft = 0;
  CopyBlocks(io, input, empty);
  EXPECT_EQ(empty.Length(), 0);
}

TEST(BinaryFile, ReadsAndWritesAtOneBasedPositions) {
  TempFolder folder;
  BinaryFile file(folder.Join("f"), BinaryFile::Mode::kCreate);
  file.Write("abcdef");
  file.Seek(3);
  file.Write("XY");
  EXPECT_EQ(file.Length(), 6);
  file.Seek(1);
  char buffer[8] = {};
  EXPECT_EQ(file.Read(buffer, 8), 6u);
  EXPECT_TRUE(file.PastEnd());
  EXPECT_EQ(std::string(buffer, 6), "abXYef");
  file.Close();
  EXPECT_EQ(ReadFileBytes(folder.Join("f")), "abXYef");
}

TEST(BinaryFile, FailuresCarryTheirErrorNumbers) {
  TempFolder folder;
  EXPECT_EQ(CodeOf([&] { BinaryFile(folder.Join("missing"), BinaryFile::Mode::kRead); }), kFileNotFound);
  EXPECT_EQ(CodeOf([&] { BinaryFile(folder.Join("no/such/file"), BinaryFile::Mode::kCreate); }), kPathNotFound);
  EXPECT_EQ(CodeOf([&] { BinaryFile(folder.Path(), BinaryFile::Mode::kRead); }), kPathFileAccess);
  EXPECT_EQ(CodeOf([&] { FileLength(folder.Join("missing")); }), kFileNotFound);
  EXPECT_EQ(CodeOf([&] { DeleteFile(folder.Join("missing")); }), kFileNotFound);
  MakeFolder(folder.Join("logs"));
  EXPECT_EQ(CodeOf([&] { MakeFolder(folder.Join("logs")); }), kPathFileAccess);
}

TEST(BinaryFile, AFullDiskIsReportedWhenTheFileIsClosed) {
  if (!FileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  BinaryFile file("/dev/full", BinaryFile::Mode::kReadWrite);
  file.Write("some bytes");
  EXPECT_EQ(CodeOf([&] { file.Close(); }), kDiskFull);
}

TEST(RecordFile, RecordsAreFixedLengthAndOneBased) {
  TempFolder folder;
  RecordFile file(folder.Join("r.dat"), 4);
  file.PutRecords(2, "bbbbcccc");
  file.Put(1, "aaaa");
  EXPECT_EQ(file.Get(2), "bbbb");
  EXPECT_EQ(file.GetRecords(1, 4), "aaaabbbbcccc    ");  // past the end reads as blanks
  EXPECT_EQ(CodeOf([&] { file.Put(1, "toolong"); }), kBadFileNameOrNumber);
  file.Close();
  EXPECT_EQ(ReadFileBytes(folder.Join("r.dat")), "aaaabbbbcccc");
}

TEST(FileSystem, PathPieces) {
  EXPECT_EQ(JoinPath("/a/b", "c.mid"), "/a/b/c.mid");
  EXPECT_EQ(JoinPath("/a/b/", "c.mid"), "/a/b/c.mid");
  EXPECT_EQ(FolderOf("/a/b/c.mid"), "/a/b");
  EXPECT_EQ(FolderOf("c.mid"), "");
  EXPECT_EQ(NameOf("/a/b/c.mid"), "c.mid");
  EXPECT_EQ(NameOf("c.mid"), "c.mid");
}

TEST(FileSystem, SafeCopyReplacesTheDestinationWhole) {
  TempFolder folder;
  WriteFileBytes(folder.Join("from"), "new bytes");
  WriteFileBytes(folder.Join("to"), "the old, longer content");
  CopyFileSafely(folder.Join("from"), folder.Join("to"));
  EXPECT_EQ(ReadFileBytes(folder.Join("to")), "new bytes");
  CopyFileSafely(folder.Join("from"), folder.Join("fresh"));
  EXPECT_EQ(ReadFileBytes(folder.Join("fresh")), "new bytes");
}

TEST(FileSystem, SafeCopyIntoAFolderThatCannotBeWrittenLeavesNothing) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes anywhere";
  TempFolder folder;
  WriteFileBytes(folder.Join("from"), "bytes");
  MakeFolder(folder.Join("locked"));
  ::chmod(folder.Join("locked").c_str(), 0555);
  EXPECT_EQ(CodeOf([&] { CopyFileSafely(folder.Join("from"), folder.Join("locked/to")); }), kPathFileAccess);
  EXPECT_FALSE(FileExists(folder.Join("locked/to")));
}

TEST(FileSystem, SafeCopyToADeviceWritesIntoIt) {
  TempFolder folder;
  WriteFileBytes(folder.Join("from"), "bytes");
  CopyFileSafely(folder.Join("from"), "/dev/null");
  EXPECT_TRUE(FileExists(folder.Join("from")));
}

TEST(FileSystem, SafeCopyFromAMissingFileIsFileNotFound) {
  TempFolder folder;
  EXPECT_EQ(CodeOf([&] { CopyFileSafely(folder.Join("missing"), folder.Join("to")); }), kFileNotFound);
  EXPECT_FALSE(FileExists(folder.Join("to")));
}

}  // namespace
}  // namespace quavert
