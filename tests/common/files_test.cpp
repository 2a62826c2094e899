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

TEST(BlockCopy, BlocksOfAtMost5000CopyExactlyTheBytesAskedFor) {
  BlockIo io;
  io.BytesLeft = 12000;
  NextBlock(io);
  NextBlock(io);
  NextBlock(io);
  EXPECT_EQ(io.BlockLen, 2000);
  EXPECT_EQ(io.BytesLeft, -3000);  // always 5000 less, as the copy loops rely on
  EXPECT_EQ(io.BlockBuffer, std::string(2000, ' '));

  TempFolder folder;
  std::string data;
  for (int i = 0; i < 12345; ++i) data.push_back(static_cast<char>(i * 7));
  WriteFileBytes(folder.Join("in"), data);
  BinaryFile input(folder.Join("in"), BinaryFile::Mode::kRead);
  BinaryFile output(folder.Join("out"), BinaryFile::Mode::kCreate);
  input.Seek(3);
  io.BytesLeft = 10001;
  CopyBlocks(io, input, output);
  output.Close();
  EXPECT_EQ(ReadFileBytes(folder.Join("out")), data.substr(2, 10001));
}

TEST(BinaryFile, OneBasedPositionsAndLargeWritesAmongBufferedOnes) {
  TempFolder folder;
  BinaryFile file(folder.Join("f"), BinaryFile::Mode::kCreate);
  file.Write("abcdef");
  file.Seek(3);
  file.Write("XY");
  file.Seek(1);
  char buffer[8] = {};
  EXPECT_EQ(file.Read(buffer, 8), 6u);
  EXPECT_TRUE(file.PastEnd());
  EXPECT_EQ(std::string(buffer, 6), "abXYef");

  const std::string large(200000, 'L');
  file.Seek(1);
  file.Write("head");
  file.Write(large);                    // goes out directly, after the buffered bytes
  file.Write("tail");                   // buffered again
  file.Seek(3);
  file.Write(std::string(70000, 'm'));  // over what was written, while "tail" waits
  EXPECT_EQ(file.Length(), 4 + 200000 + 4);
  file.Close();
  EXPECT_EQ(ReadFileBytes(folder.Join("f")),
            "he" + std::string(70000, 'm') + std::string(200000 - 70000 + 2, 'L') + "tail");
}

TEST(BinaryFile, StartingASyncHandsOverWhatIsPending) {
  TempFolder folder;
  BinaryFile file(folder.Join("f"), BinaryFile::Mode::kCreate);
  file.Write("pending bytes");
  EXPECT_EQ(ReadFileBytes(folder.Join("f")), "");
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
  if (FileExists("/dev/full")) {
    BinaryFile full("/dev/full", BinaryFile::Mode::kReadWrite);
    full.Write("some bytes");
    EXPECT_EQ(CodeOf([&] { full.Close(); }), kDiskFull) << "a full disk is reported when the file is closed";
  }
}

TEST(RecordFile, FixedLengthOneBasedRecordsAndRunsIntoAReusedBuffer) {
  TempFolder folder;
  RecordFile file(folder.Join("r.dat"), 4);
  file.PutRecords(2, "bbbbcccc");
  file.Put(1, "aaaa");
  EXPECT_EQ(file.Get(2), "bbbb");
  EXPECT_EQ(file.GetRecords(1, 4), "aaaabbbbcccc    ");  // past the end reads as blanks
  EXPECT_EQ(CodeOf([&] { file.Put(1, "toolong"); }), kBadFileNameOrNumber);
  std::string buffer = "left over from before, longer than the run";
  file.GetRecords(2, 3, buffer);
  EXPECT_EQ(buffer, "bbbbcccc    ");  // not what the buffer held
  file.Close();
  EXPECT_EQ(ReadFileBytes(folder.Join("r.dat")), "aaaabbbbcccc");
}

TEST(FileSystem, PathPieces) {
  EXPECT_EQ(JoinPath("/a/b", "c.mid"), "/a/b/c.mid");
  EXPECT_EQ(JoinPath("/a/b/", "c.mid"), "/a/b/c.mid");
  EXPECT_EQ(FolderOf("/a/b/c.mid"), "/a/b");
  EXPECT_EQ(FolderOf("c.mid"), "");
  EXPECT_EQ(NameOf("/a/b/c.mid"), "c.mid");
}

TEST(FileSystem, SafeCopyReplacesTheDestinationWholeOrLeavesNothing) {
  TempFolder folder;
  WriteFileBytes(folder.Join("from"), "new bytes");
  WriteFileBytes(folder.Join("to"), "the old, longer content");
  CopyFileSafely(folder.Join("from"), folder.Join("to"));
  EXPECT_EQ(ReadFileBytes(folder.Join("to")), "new bytes");
  CopyFileSafely(folder.Join("from"), "/dev/null");  // a device is written into
  EXPECT_EQ(CodeOf([&] { CopyFileSafely(folder.Join("missing"), folder.Join("new")); }), kFileNotFound);
  EXPECT_FALSE(FileExists(folder.Join("new")));
  if (::geteuid() != 0) {  // root writes anywhere
    MakeFolder(folder.Join("locked"));
    ::chmod(folder.Join("locked").c_str(), 0555);
    EXPECT_EQ(CodeOf([&] { CopyFileSafely(folder.Join("from"), folder.Join("locked/to")); }), kPathFileAccess);
    EXPECT_FALSE(FileExists(folder.Join("locked/to")));
  }
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

TEST(FileSystem, MoveRenamesWithTheModeACopyWouldGet) {
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
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(ModeOf(folder.Join("fresh")), 0666u & ~mask);  // a new file gets the usual ones
}

TEST(FileSystem, MoveToADeviceOrAFailedMoveCopiesAndKeepsTheSource) {
  TempFolder folder;
  WriteFileBytes(folder.Join("from"), "bytes");
  MoveFileSafely(folder.Join("from"), "/dev/null");
  EXPECT_EQ(ReadFileBytes(folder.Join("from")), "bytes");
  MakeFolder(folder.Join("folder"));
  for (const char* to : {"folder", "no/such/to"}) {
    const int copied = CodeOf([&] { CopyFileSafely(folder.Join("from"), folder.Join(to)); });
    EXPECT_NE(copied, 0) << to;
    EXPECT_EQ(CodeOf([&] { MoveFileSafely(folder.Join("from"), folder.Join(to)); }), copied) << to;
    EXPECT_EQ(ReadFileBytes(folder.Join("from")), "bytes") << to;
  }
  EXPECT_EQ(CodeOf([&] { MoveFileSafely(folder.Join("missing"), folder.Join("to")); }), kFileNotFound);
}

}  // namespace
}  // namespace quavert
