#include <gtest/gtest.h>

#include <filesystem>

#include "editing/genmidi.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

// The file the build ships, as the tests get it.
std::string ShippedGenmidi() {
  const char* path = std::getenv("QUAVERT_GENMIDI");
  return path == nullptr ? std::string() : ReadFileBytes(path);
}

TEST(GenmidiFile, ShippedFileHasEveryProgramAndDrumLineInPlace) {
  const std::string bytes = ShippedGenmidi();
  ASSERT_FALSE(bytes.empty());
  // CR LF after every line, no lone line feeds.
  std::size_t lines = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] == '\n') {
      ASSERT_GT(i, 0u);
      EXPECT_EQ(bytes[i - 1], '\r') << "line " << lines + 1;
      ++lines;
    }
  EXPECT_EQ(lines, 1u + 128u + 1u + 62u);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");

  const GenmidiNames names = ParseGenmidi(bytes);
  EXPECT_EQ(LookupInstrument(names, 0), "Acoustic Grand Piano");
  EXPECT_EQ(LookupInstrument(names, 24), "Acoustic Guitar (nylon)");
  EXPECT_EQ(LookupInstrument(names, 127), "Gunshot");
  EXPECT_EQ(LookupDrum(names, 27), "High Q");
  EXPECT_EQ(LookupDrum(names, 35), "Acoustic Bass Drum");
  EXPECT_EQ(LookupDrum(names, 36), "Bass Drum 1");
  EXPECT_EQ(LookupDrum(names, 81), "Open Triangle");
  EXPECT_EQ(LookupDrum(names, 88), "");
  // Each program line is "p=Name" and no name holds a comma, so every line is one field.
  ASSERT_EQ(names.Fields.size(), lines);
  for (int p = 0; p < 128; ++p) EXPECT_EQ(names.Fields[p + 1].rfind(std::to_string(p) + "=", 0), 0u) << p;
}

TEST(GenmidiFile, FieldsEndAtCommasAndLineEndsAndSkipLeadingBlanks) {
  const GenmidiNames names = ParseGenmidi("head\r\n0=Piano,  1=Organ\n\"2=Harp, concert\" tail,3=Bass\r4");
  EXPECT_EQ(names.Fields, (std::vector<std::string>{"head", "0=Piano", "1=Organ", "2=Harp, concert", "3=Bass", "4"}));
  EXPECT_EQ(LookupInstrument(names, 0), "Piano");
  EXPECT_EQ(LookupInstrument(names, 2), "Harp, concert");
  // A field without "=" is the name as a whole.
  EXPECT_EQ(LookupInstrument(names, 4), "4");
  EXPECT_EQ(LookupInstrument(names, -1), "head");
  // Only the first "=" separates.
  EXPECT_EQ(LookupInstrument(ParseGenmidi("h\r\n0=a=b\r\n"), 0), "a=b");
  // An empty line is one empty field, so it still counts.
  EXPECT_EQ(LookupInstrument(ParseGenmidi("h\r\n\r\n1=Bright\r\n"), 1), "Bright");
}

TEST(GenmidiFile, DrumLinesAreWholeLinesAfterTheRhythmLine) {
  const GenmidiNames names = ParseGenmidi("h\r\n0=P\r\nrhythm:\r\nRHYTHM:\r\n  High, Q \r\n\r\nSlap\r\n");
  ASSERT_TRUE(names.HasRhythm);
  EXPECT_EQ(LookupDrum(names, 27), "  High, Q ");
  EXPECT_EQ(LookupDrum(names, 28), "");
  EXPECT_EQ(LookupDrum(names, 29), "Slap");
  EXPECT_EQ(LookupDrum(names, 26), "");
  EXPECT_EQ(LookupDrum(names, 0), "");
}

// A file that cannot give a name gives "unknown" and nothing fails.
TEST(GenmidiFile, MissingShortOrWithoutRhythmGivesUnknown) {
  const GenmidiNames missing = ReadGenmidi("/nonexistent/genmidi.ini");
  EXPECT_FALSE(missing.Readable);
  EXPECT_EQ(LookupInstrument(missing, 0), "unknown");
  EXPECT_EQ(LookupDrum(missing, 36), "unknown");

  const GenmidiNames short_file = ParseGenmidi("h\r\n0=Piano\r\nRHYTHM:\r\nHigh Q\r\n");
  EXPECT_EQ(LookupInstrument(short_file, 0), "Piano");
  EXPECT_EQ(LookupInstrument(short_file, 1), "RHYTHM:");  // fields run on into the drum lines
  EXPECT_EQ(LookupInstrument(short_file, 3), "unknown");
  EXPECT_EQ(LookupDrum(short_file, 27), "High Q");
  EXPECT_EQ(LookupDrum(short_file, 28), "unknown");

  const GenmidiNames no_rhythm = ParseGenmidi("h\r\n0=Piano\r\n");
  EXPECT_EQ(LookupDrum(no_rhythm, 36), "unknown");
  EXPECT_EQ(LookupDrum(no_rhythm, 20), "unknown");
  EXPECT_EQ(LookupInstrument(ParseGenmidi(""), 0), "unknown");
}

class GenmidiCacheTest : public testing::SessionTest {
 protected:
  std::string path() const { return session.AppPath(kGenmidiName); }
  // Gives the file an explicit modification time, so a rewrite within one clock tick still shows.
  void Touch(int seconds) {
    std::filesystem::last_write_time(path(), std::filesystem::file_time_type(std::chrono::seconds(seconds)));
  }
};

TEST_F(GenmidiCacheTest, ServesWhatAFreshReadGives) {
  ASSERT_TRUE(testing::InstallGenmidi(app.Path()));
  const GenmidiNames& cached = CurrentGenmidi(session);
  const GenmidiNames fresh = ReadGenmidi(path());
  EXPECT_EQ(cached, fresh);
  for (int p = 0; p < 128; ++p) EXPECT_EQ(LookupInstrument(cached, p), LookupInstrument(fresh, p));
  for (int k = 0; k < 128; ++k) EXPECT_EQ(LookupDrum(cached, k), LookupDrum(fresh, k));
}

TEST_F(GenmidiCacheTest, ReadsAgainOnlyWhenTheFileChanges) {
  WriteFileBytes(path(), "h\r\n0=Piano\r\nRHYTHM:\r\nHigh Q\r\n");
  Touch(1000);
  EXPECT_EQ(LookupInstrument(CurrentGenmidi(session), 0), "Piano");

  // Same size and time: the remembered names are served (the file is not read again).
  WriteFileBytes(path(), "h\r\n0=Pinao\r\nRHYTHM:\r\nHigh Q\r\n");
  Touch(1000);
  EXPECT_EQ(LookupInstrument(CurrentGenmidi(session), 0), "Piano");

  // A new time, same size.
  Touch(2000);
  EXPECT_EQ(LookupInstrument(CurrentGenmidi(session), 0), "Pinao");

  // A new size, same time.
  WriteFileBytes(path(), "h\r\n0=Harpsichord\r\nRHYTHM:\r\nHigh Q\r\n");
  Touch(2000);
  EXPECT_EQ(LookupInstrument(CurrentGenmidi(session), 0), "Harpsichord");
  EXPECT_EQ(CurrentGenmidi(session), ReadGenmidi(path()));
}

TEST_F(GenmidiCacheTest, FollowsTheFileGoingAndComing) {
  std::filesystem::remove(path());
  EXPECT_EQ(LookupInstrument(CurrentGenmidi(session), 0), "unknown");
  WriteFileBytes(path(), "h\r\n0=Piano\r\n");
  EXPECT_EQ(LookupInstrument(CurrentGenmidi(session), 0), "Piano");
  std::filesystem::remove(path());
  EXPECT_EQ(LookupInstrument(CurrentGenmidi(session), 0), "unknown");
  // A folder of that name is no file to read.
  std::filesystem::create_directory(path());
  EXPECT_EQ(LookupDrum(CurrentGenmidi(session), 36), "unknown");
}

TEST_F(GenmidiCacheTest, ReadingAgainForgetsTheRememberedDrumName) {
  WriteFileBytes(path(), "h\r\nRHYTHM:\r\nHigh Q\r\n");
  CurrentGenmidi(session);
  session.list.DrumCache = {27, 5, "High Q"};
  CurrentGenmidi(session);
  EXPECT_EQ(session.list.DrumCache.Name, "High Q");
  WriteFileBytes(path(), "h\r\nRHYTHM:\r\nLow Q\r\n");
  Touch(3000);
  CurrentGenmidi(session);
  EXPECT_EQ(session.list.DrumCache.Key, -1);
  EXPECT_EQ(session.list.DrumCache.Name, "");
}

}  // namespace
}  // namespace quavert
