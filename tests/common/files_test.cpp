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

TEST(BinaryFile, LargeWritesKeepTheirPlaceAmongBufferedOnes) {
  TempFolder folder;
  BinaryFile file(folder.Join("f"), BinaryFile::Mode::kCreate);
  const std::string large(200000, 'L');
  file.Write("head");                  // buffered
  file.Write(large);                   // goes out directly, after the buffered bytes
  file.Write("tail");                  // buffered again
  file.Seek(3);
  file.Write(std::string(70000, 'm'));  // over what was written, while "tail" waits
  EXPECT_EQ(file.Length(), 4 + 200000 + 4);
  file.Close();
  std::string expected = "he" + std::string(70000, 'm') + std::string(200000 - 70000 + 2, 'L') + "tail";
  EXPECT_EQ(ReadFileBytes(folder.Join("f")), expected);
}

TEST(BinaryFile, StartingASyncHandsOverWhatIsPending) {
  TempFolder folder;
  BinaryFile file(folder.Join("f"), BinaryFile::Mode::kCreate);
  file.Write("pending bytes");
  EXPECT_EQ(ReadFileBytes(folder.Join("f")), "");  // still in the buffer
  file.StartSync();
  EXPECT_EQ(ReadFileBytes(folder.Join("f")), "pending bytes");
  file.Write(" and more");
  file.Sync();
  EXPECT_EQ(ReadFileBytes(folder.Join("f")), "pending bytes and more");
  file.Close();
  EXPECT_EQ(CodeOf([&] { file.StartSync(); }), kBadFileNameOrNumber);
}

TEST(BinaryFile, FailuresCarryTheirErrorNumbers) {
  TempFolder folder;
  EXPECT_EQ(CodeOf([&] { BinaryFile(folder.Join("missing"), BinaryFile::Mode::kRead); }), kFileNotFound);
  EXPECT_EQ(CodeOf([&] { BinaryFile(folder.Join("no/such/file"), BinaryFile::Mode::kCreate); }), kPathNotFound);
  EXPECT_EQ(CodeOf([&] { BinaryFile(folder.Path(), BinaryFile::Mode::kRead); }), kPathFileAccess);
  ASSERT_EQ(::mkfifo(folder.Join("pipe").c_str(), 0600), 0);
  EXPECT_EQ(CodeOf([&] { BinaryFile(folder.Join("pipe"), BinaryFile::Mode::kRead); }), kPathFileAccess)
      << "a named pipe is refused at once, not waited on";
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

TEST(RecordFile, ARunReadIntoAReusedBufferHoldsOnlyThatRun) {
  TempFolder folder;
  RecordFile file(folder.Join("r.dat"), 4);
  file.PutRecords(1, "aaaabbbbcccc");
  std::string buffer = "left over from before, longer than the run";
  file.GetRecords(2, 3, buffer);
  EXPECT_EQ(buffer, "bbbbcccc    ");  // past the end reads as blanks, not as what the buffer held
  file.GetRecords(1, 1, buffer);
  EXPECT_EQ(buffer, "aaaa");
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

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

mode_t Umask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

TEST(FileSystem, MoveWithinAFileSystemRenamesWithTheModeACopyWouldGet) {
  TempFolder folder;
  WriteFileBytes(folder.Join("from"), "report bytes");
  ::chmod(folder.Join("from").c_str(), 0600);
  WriteFileBytes(folder.Join("to"), "an older, longer report");
  ::chmod(folder.Join("to").c_str(), 0640);
  MoveFileSafely(folder.Join("from"), folder.Join("to"));
  EXPECT_EQ(ReadFileBytes(folder.Join("to")), "report bytes");
  EXPECT_EQ(ModeOf(folder.Join("to")), 0640u);  // the replaced file's permissions stay
  EXPECT_FALSE(FileExists(folder.Join("from")));

  WriteFileBytes(folder.Join("from"), "second");
  ::chmod(folder.Join("from").c_str(), 0600);
  MoveFileSafely(folder.Join("from"), folder.Join("fresh"));
  EXPECT_EQ(ReadFileBytes(folder.Join("fresh")), "second");
  EXPECT_EQ(ModeOf(folder.Join("fresh")), 0666u & ~Umask());  // a new file gets the usual ones
}

TEST(FileSystem, MoveToADeviceOrAFailedMoveCopiesAndKeepsTheSource) {
  TempFolder folder;
  WriteFileBytes(folder.Join("from"), "bytes");
  MoveFileSafely(folder.Join("from"), "/dev/null");
  EXPECT_EQ(ReadFileBytes(folder.Join("from")), "bytes");
  // Where the rename fails, the copy is tried and says why, and nothing is lost.
  MakeFolder(folder.Join("folder"));
  for (const char* to : {"folder", "no/such/to"}) {
    const int copied = CodeOf([&] { CopyFileSafely(folder.Join("from"), folder.Join(to)); });
    EXPECT_NE(copied, 0) << to;
    EXPECT_EQ(CodeOf([&] { MoveFileSafely(folder.Join("from"), folder.Join(to)); }), copied) << to;
    EXPECT_EQ(ReadFileBytes(folder.Join("from")), "bytes") << to;
  }
  EXPECT_EQ(CodeOf([&] { MoveFileSafely(folder.Join("missing"), folder.Join("to")); }), kFileNotFound);
  EXPECT_FALSE(FileExists(folder.Join("to")));
}

}  // namespace
}  // namespace quavert
