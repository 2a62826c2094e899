#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "common/app_folder.h"
#include "common/binary_file.h"
#include "common/block_copy.h"
#include "common/byte_reader.h"
#include "common/file_system.h"
#include "common/number_text.h"
#include "common/record_file.h"
#include "common/run_error.h"
#include "decoding/records.h"
#include "support/midi_bytes.h"
#include "support/run_error_of.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

using testing::RunErrorOf;
TEST(NumberText, SignFormsLeadingNumbersAndRoundingHalfToEven) {
  EXPECT_EQ((std::vector<std::string>{SignedNumber(144), SignedNumber(0), SignedNumber(-1), PlainNumber(-17)}),
            (std::vector<std::string>{" 144", " 0", "-1", "-17"}));

  for (const auto& [text, value] : std::vector<std::pair<const char*, double>>{
           {"120abc", 120}, {"   96.5 ticks", 96.5}, {"-5", -5}, {"+7x", 7}, {"1.5e2", 150}, {"6E7", 60000000},
           {"2e", 2}, {"3e+", 3}, {".5", 0.5}, {"C4", 0}, {"", 0}, {"-", 0}, {".", 0}, {"1 2", 1}})
    EXPECT_EQ(LeadingNumber(text), value) << '"' << text << '"';
  EXPECT_EQ(RunErrorOf([] { LeadingNumber("1e400"); }), kOverflow);

  for (const auto& [value, rounded] : std::vector<std::pair<double, std::int32_t>>{
           {96.5, 96}, {97.5, 98}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {32767.4, 32767}, {-32768, -32768}}) {
    EXPECT_EQ(ToLong(value), rounded) << value;
    EXPECT_EQ(ToInteger(value), rounded) << value;
  }
  EXPECT_EQ(ToLong(2147483647.0), 2147483647);
  for (double value : {32767.5, 40000.0, -32769.0}) EXPECT_EQ(RunErrorOf([&] { ToInteger(value); }), kOverflow) << value;
  for (double value : {2147483647.5, 3e9, -2147483649.0}) EXPECT_EQ(RunErrorOf([&] { ToLong(value); }), kOverflow);
}

TEST(EventRecordFields, SevenCharactersThatReadBackAndOnlyWrittenFormsAreExact) {
  for (const auto& [value, text] : std::vector<std::pair<std::int32_t, const char*>>{
           {144, " 144   "}, {-1, "-1     "}, {0, " 0     "}, {999999, " 999999"}, {-176, "-176   "},
           {1048576, "1048576"}, {2097279, "2097279"}, {60000000, "6E7    "}})
    EXPECT_EQ(EventFieldText(value), text) << value;
  EXPECT_THROW(EventFieldText(12345678), RunError);
  EXPECT_EQ(EventFieldText(268435583, kDeltaFieldWidth), " 268435583");

  // The delta's field is wide enough for the largest delta time in its sign-position form.
  const EventRecord record{-176, 10, 64, 268435583, -1, -1, -1};
  std::string bytes;
  AppendEventRecord(record, bytes);
  EXPECT_EQ(bytes, "-176    10     64     268435583-1     -1     -1     ");
  bool exact = false;
  EXPECT_EQ(ParseEventRecord(bytes, &exact), record);
  EXPECT_TRUE(exact);
  WriteListingFields({-176, 99, 64, 268435583, -5, -1, 1}, bytes.data());  // sets only the kind and the note state
  EXPECT_EQ(bytes, "-176    10     64     268435583-5     -1      1     ");

  // Texts this program never writes still read as the general reading of a number says, and as not exact.
  std::string zeros;
  AppendEventRecord({0, 0, 0, 0, 0, 0, 0}, zeros);
  for (const std::string field : {"+5     ", "-0     ", " 007   ", "\t7     ", " 12 34 ", "12x    ", "       ",
                                  "-      ", " 2.5   ", ".7     ", " 1e3   ", " 12e   ", "-2.5E1 ", "   1   "}) {
    bool exact = true;
    const EventRecord read = ParseEventRecord(std::string(zeros).replace(45, 7, field), &exact);
    EXPECT_EQ(read.NoteState, ToLong(LeadingNumber(field))) << '"' << field << '"';
    EXPECT_FALSE(exact) << '"' << field << '"';
  }
  // Every value reads back as written; only sign-position forms of six digits or fewer are exact
  // in the seven-character fields, and every delta this program writes is exact in its own.
  std::vector<std::int32_t> values = {-999999, -100000, 99999, 999999, 1000000, 1048576, 2097279, 9999999, 12000000,
                                      30000000, 60000000};
  for (std::int32_t v = -300; v <= 1100; ++v) values.push_back(v);
  for (std::int32_t value : values) {
    const EventRecord record{value, value, -1, value, -5, -2, 1};
    std::string bytes;
    AppendEventRecord(record, bytes);
    EXPECT_EQ(ParseEventRecord(bytes, &exact), record) << value;
    EXPECT_EQ(exact, value >= -999999 && value <= 999999) << value;
    AppendEventRecord({144, 60, 100, value, -3, -1, 1}, bytes);
    EXPECT_EQ(ParseEventRecord(std::string_view(bytes).substr(kEventRecordLength), &exact).Delta, value);
    EXPECT_TRUE(exact) << value;
  }
  // A delta field is read whole; it is as written only in the form the writer gives its value.
  std::string blank;
  AppendEventRecord({}, blank);
  for (const auto& [field, written] : std::vector<std::pair<std::string, bool>>{
           {" 12       ", true}, {" 1234567  ", true}, {" 12     7 ", false}, {" 1234567 0", false}, {"1234567   ", false}}) {
    const EventRecord read = ParseEventRecord(std::string(blank).replace(21, 10, field), &exact);
    EXPECT_EQ(read.Delta, ToLong(LeadingNumber(field))) << '"' << field << '"';
    EXPECT_EQ(exact, written) << '"' << field << '"';
  }
}

TEST(ListRowFields, CutAndPaddedToTheirWidths) {
  std::string bytes;
  AppendListRow({"C1", "C#10x", "", "1234567", std::string(45, 'd')}, bytes);
  EXPECT_EQ(bytes, "C1 C#10   123456" + std::string(40, 'd'));
  EXPECT_EQ(ParseListRow(bytes), (ListRow{"C1", "C#10", "", "123456", std::string(40, 'd')}));
}

class FilesTest : public ::testing::Test {
 protected:
  std::string At(const std::string& name) const { return folder.Join(name); }
  testing::TempFolder folder;
};

// What is written reads back at once, buffered or not; a reader never passes its range.
TEST_F(FilesTest, WrittenBytesReadBackAndAByteReaderStaysWithinItsRange) {
  BinaryFile file(At("f"), BinaryFile::Mode::kCreate);
  file.Write(testing::Hex("4D 54 68 64 00 00 00 00 01 02 03"));
  file.Seek(8);
  file.Write("\x06");
  ByteReader whole(file, 1, 11);
  EXPECT_EQ(whole.U32be(), 0x4D546864u);
  EXPECT_EQ(whole.U32be(), 6u);
  EXPECT_EQ(whole.U16be(), 0x0102);
  EXPECT_EQ(whole.U8(), 3);
  EXPECT_THROW(whole.U8(), ReadPastLimit);
  ByteReader part(file, 5, 8);  // the file goes on; the range does not
  EXPECT_THROW(part.Skip(5), ReadPastLimit);
  EXPECT_THROW(part.Bytes(5), ReadPastLimit);
  EXPECT_EQ(part.Bytes(4), testing::Hex("00 00 00 06"));
  EXPECT_THROW(part.U8(), ReadPastLimit);
  ByteReader longer(file, 10, 1000000);  // a range longer than the file ends with the file
  EXPECT_EQ(longer.U16be(), 0x0203);
  EXPECT_THROW(longer.U8(), ReadPastLimit);
  EXPECT_THROW(ByteReader(file, 20, 10).U8(), ReadPastLimit);
}

TEST_F(FilesTest, LargeWritesAmongBufferedOnesSyncAndBlockCopies) {
  BinaryFile file(At("f"), BinaryFile::Mode::kCreate);
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
  EXPECT_EQ(RunErrorOf([&] { file.StartSync(); }), kBadFileNameOrNumber);

  BlockIo io{12000, 0, ""};
  for (int i = 0; i < 3; ++i) NextBlock(io);
  EXPECT_EQ(io.BytesLeft, -3000);  // always 5000 less, as the copy loops rely on
  EXPECT_EQ(io.BlockBuffer, std::string(2000, ' '));
  BinaryFile input(At("f"), BinaryFile::Mode::kRead);
  BinaryFile output(At("out"), BinaryFile::Mode::kCreate);
  input.Seek(69000);
  CopyBlocks(input, output, 10001);
  output.Close();
  EXPECT_EQ(ReadFileBytes(At("out")), ReadFileBytes(At("f")).substr(68999, 10001));
}

TEST_F(FilesTest, FailuresCarryTheirErrorNumbers) {
  EXPECT_EQ(RunErrorOf([&] { BinaryFile(At("missing"), BinaryFile::Mode::kRead); }), kFileNotFound);
  EXPECT_EQ(RunErrorOf([&] { BinaryFile(At("no/such/file"), BinaryFile::Mode::kCreate); }), kPathNotFound);
  EXPECT_EQ(RunErrorOf([&] { BinaryFile(folder.Path(), BinaryFile::Mode::kRead); }), kPathFileAccess);
  ASSERT_EQ(::mkfifo(At("pipe").c_str(), 0600), 0);
  EXPECT_EQ(RunErrorOf([&] { BinaryFile(At("pipe"), BinaryFile::Mode::kRead); }), kPathFileAccess)
      << "a named pipe is refused at once, not waited on";
  EXPECT_EQ(RunErrorOf([&] { FileLength(At("missing")); }), kFileNotFound);
  EXPECT_EQ(RunErrorOf([&] { DeleteFile(At("missing")); }), kFileNotFound);
  MakeFolder(At("logs"));
  EXPECT_EQ(RunErrorOf([&] { MakeFolder(At("logs")); }), kPathFileAccess);
  if (FileExists("/dev/full")) {
    BinaryFile full("/dev/full", BinaryFile::Mode::kReadWrite);
    full.Write("some bytes");
    EXPECT_EQ(RunErrorOf([&] { full.Close(); }), kDiskFull) << "a full disk is reported when the file is closed";
  }
}

TEST_F(FilesTest, RecordFileFixedLengthOneBasedRecordsAndRunsIntoAReusedBuffer) {
  RecordFile file(At("r.dat"), 4);
  file.PutRecords(2, "bbbbcccc");
  file.Put(1, "aaaa");
  EXPECT_EQ(file.GetRecords(1, 4), "aaaabbbbcccc    ");  // past the end reads as blanks
  EXPECT_EQ(RunErrorOf([&] { file.Put(1, "toolong"); }), kBadFileNameOrNumber);
  std::string buffer = "left over from before, longer than the run";
  file.GetRecords(2, 3, buffer);
  EXPECT_EQ(buffer, "bbbbcccc    ");
  file.Close();
  EXPECT_EQ(ReadFileBytes(At("r.dat")), "aaaabbbbcccc");
}

TEST_F(FilesTest, SafeCopyAndMoveReplaceTheDestinationWholeOrLeaveNothing) {
  WriteFileBytes(At("from"), "new bytes");
  ::chmod(At("from").c_str(), 0600);
  WriteFileBytes(At("to"), "the old, longer content");
  CopyFileSafely(At("from"), At("to"));
  EXPECT_EQ(ReadFileBytes(At("to")), "new bytes");
  CopyFileSafely(At("from"), "/dev/null");  // a device is written into
  MoveFileSafely(At("from"), "/dev/null");  // and a move to it keeps the source
  EXPECT_EQ(RunErrorOf([&] { CopyFileSafely(At("missing"), At("new")); }), kFileNotFound);
  EXPECT_EQ(RunErrorOf([&] { MoveFileSafely(At("missing"), At("new")); }), kFileNotFound);
  EXPECT_FALSE(FileExists(At("new")));
  if (::geteuid() != 0) {  // root writes anywhere
    MakeFolder(At("locked"));
    ::chmod(At("locked").c_str(), 0555);
    EXPECT_EQ(RunErrorOf([&] { CopyFileSafely(At("from"), At("locked/to")); }), kPathFileAccess);
    EXPECT_FALSE(FileExists(At("locked/to")));
  }
  MakeFolder(At("folder"));
  for (const char* to : {"folder", "no/such/to"}) {  // a failed move copies, fails as the copy did, keeps the source
    const int copied = RunErrorOf([&] { CopyFileSafely(At("from"), At(to)); });
    EXPECT_NE(copied, 0) << to;
    EXPECT_EQ(RunErrorOf([&] { MoveFileSafely(At("from"), At(to)); }), copied) << to;
    EXPECT_EQ(ReadFileBytes(At("from")), "new bytes") << to;
  }

  WriteFileBytes(At("from"), "moved");
  ::chmod(At("to").c_str(), 0640);
  MoveFileSafely(At("from"), At("to"));
  EXPECT_EQ(ReadFileBytes(At("to")), "moved");
  struct stat info {};
  ::stat(At("to").c_str(), &info);
  EXPECT_EQ(info.st_mode & 07777, 0640u);  // the replaced file's permissions stay
  EXPECT_FALSE(FileExists(At("from")));
  MoveFileSafely(At("to"), At("fresh"));
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::stat(At("fresh").c_str(), &info);
  EXPECT_EQ(info.st_mode & 07777, 0666u & ~mask);  // a new file gets the usual ones, not the source's
}

// Where the program keeps things, for each way it can be run. Inputs: the program's folder,
// whether it is writable, whether it is installed, QUAVERT_HOME, XDG_DATA_HOME, XDG_CONFIG_HOME,
// HOME. Results: application folder, settings file, data folder, per-user.
TEST(ProgramFolders, BuildFolderInstalledPrefixReadOnlyFolderAndQuavertHome) {
  struct Case {
    const char* What;
    FolderInputs In;
    ProgramFolders Out;
  };
  const std::vector<Case> cases = {
      {"run from the build folder", {"/src/build", true, false, "", "", "", "/home/ann"},
       {"/src/build", "/src/build/quavert.ini", "", false}},
      {"installed, default XDG folders", {"/usr/bin", false, true, "", "", "", "/home/ann"},
       {"/home/ann/.local/share/quavert", "/home/ann/.config/quavert/quavert.ini", "/usr/share/quavert", true}},
      {"installed into a writable prefix", {"/home/ann/opt/bin", true, true, "", "", "", "/home/ann"},
       {"/home/ann/.local/share/quavert", "/home/ann/.config/quavert/quavert.ini", "/home/ann/opt/share/quavert", true}},
      {"installed, XDG folders set", {"/usr/bin", false, true, "", "/x/data/", "/x/conf", "/home/ann"},
       {"/x/data/quavert", "/x/conf/quavert/quavert.ini", "/usr/share/quavert", true}},
      {"relative XDG folders are passed over", {"/usr/bin", false, true, "", "data", "conf", "/home/ann"},
       {"/home/ann/.local/share/quavert", "/home/ann/.config/quavert/quavert.ini", "/usr/share/quavert", true}},
      {"a build folder that is not writable", {"/srv/build", false, false, "", "", "", "/home/ann"},
       {"/home/ann/.local/share/quavert", "/home/ann/.config/quavert/quavert.ini", "/srv/build", true}},
      {"QUAVERT_HOME wins over the build folder", {"/src/build", true, false, "/tmp/q", "/x/data", "/x/conf", "/home/ann"},
       {"/tmp/q", "/tmp/q/quavert.ini", "", false}},
      {"QUAVERT_HOME wins over the installed folders", {"/usr/bin", false, true, "/tmp/q", "", "", "/home/ann"},
       {"/tmp/q", "/tmp/q/quavert.ini", "/usr/share/quavert", false}},
      {"no home folder: the program's own, as before", {"/usr/bin", false, true, "", "", "", ""},
       {"/usr/bin", "/usr/bin/quavert.ini", "", false}},
      {"only a config folder known: the program's own", {"/usr/bin", false, true, "", "", "/x/conf", ""},
       {"/usr/bin", "/usr/bin/quavert.ini", "", false}},
  };
  for (const Case& c : cases) EXPECT_EQ(ChooseFolders(c.In), c.Out) << c.What;
}

TEST(ProgramFolders, TheUsersGenmidiWinsAndPerUserFoldersAreMade) {
  testing::TempFolder folder;
  const std::string app = folder.Join("share/quavert");
  const std::string data = folder.Join("data");
  EXPECT_EQ(GenmidiFile(app, data), data + "/genmidi.ini");
  EXPECT_EQ(GenmidiFile(app, ""), app + "/genmidi.ini");

  ProgramFolders folders{app, folder.Join("config/quavert/quavert.ini"), data, false};
  MakeProgramFolders(folders);
  EXPECT_FALSE(FolderExists(app)) << "only per-user folders are made";
  folders.PerUser = true;
  MakeProgramFolders(folders);
  EXPECT_TRUE(FolderExists(app));
  EXPECT_TRUE(FolderExists(folder.Join("config/quavert")));
  WriteFileBytes(app + "/genmidi.ini", "h\r\n");
  EXPECT_EQ(GenmidiFile(app, data), app + "/genmidi.ini");
}

}  // namespace
}  // namespace quavert
