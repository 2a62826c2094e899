#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "editing/genmidi.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

TEST(GenmidiFile, ShippedFileHoldsEveryProgramAndDrumInPlace) {
  const char* path = std::getenv("QUAVERT_GENMIDI");
  const std::string bytes = path == nullptr ? "" : testing::ReadFileBytes(path);
  ASSERT_FALSE(bytes.empty());
  // Heading, 128 programs, "RHYTHM:", keys 27..88: every line ended by CR LF.
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 192);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 192);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  const GenmidiNames names = ParseGenmidi(bytes);
  ASSERT_EQ(names.Fields.size(), 192u);  // no name holds a comma
  for (int p = 0; p < 128; ++p) EXPECT_EQ(names.Fields[p + 1].rfind(std::to_string(p) + "=", 0), 0u) << p;
  EXPECT_EQ(LookupInstrument(names, 0), "Acoustic Grand Piano");
  EXPECT_EQ(LookupInstrument(names, 127), "Gunshot");
  EXPECT_EQ(LookupDrum(names, 27), "High Q");
  EXPECT_EQ(LookupDrum(names, 36), "Bass Drum 1");
  EXPECT_EQ(LookupDrum(names, 81), "Open Triangle");
  EXPECT_EQ(LookupDrum(names, 88), "");
}

TEST(GenmidiFile, InstrumentsAreFieldsAndDrumsAreWholeLines) {
  const GenmidiNames names =
      ParseGenmidi("head\r\n0=Piano,  1=Organ\n\"2=Harp, concert\" tail,3=a=b\r\r\nRHYTHM:\r\n  High, Q \r\n\r\nSlap");
  EXPECT_EQ(names.Fields, (std::vector<std::string>{"head", "0=Piano", "1=Organ", "2=Harp, concert", "3=a=b", "",
                                                    "RHYTHM:", "High", "Q ", "", "Slap"}));
  EXPECT_EQ(LookupInstrument(names, -1), "head");  // a field without "=" is the name
  EXPECT_EQ(LookupInstrument(names, 2), "Harp, concert");
  EXPECT_EQ(LookupInstrument(names, 3), "a=b");
  EXPECT_EQ(LookupInstrument(names, 4), "");  // an empty line is an empty field
  EXPECT_EQ(LookupDrum(names, 27), "  High, Q ");
  EXPECT_EQ(LookupDrum(names, 28), "");
  EXPECT_EQ(LookupDrum(names, 29), "Slap");
  EXPECT_EQ(LookupDrum(names, 26), "");
}

// A name that cannot be read is "unknown"; nothing fails.
TEST(GenmidiFile, NamesThatCannotBeReadAreUnknown) {
  const GenmidiNames missing = ReadGenmidi("/nonexistent/genmidi.ini");
  EXPECT_EQ(LookupInstrument(missing, 0), "unknown");
  EXPECT_EQ(LookupDrum(missing, 36), "unknown");
  const GenmidiNames short_file = ParseGenmidi("h\r\n0=Piano\r\nRHYTHM:\r\nHigh Q\r\n");
  EXPECT_EQ(LookupInstrument(short_file, 0), "Piano");
  EXPECT_EQ(LookupInstrument(short_file, 3), "unknown");
  EXPECT_EQ(LookupDrum(short_file, 28), "unknown");
  EXPECT_EQ(LookupDrum(ParseGenmidi("h\r\n0=Piano\r\n"), 36), "unknown");  // no "RHYTHM:"
}

using GenmidiCacheTest = testing::SessionTest;

TEST_F(GenmidiCacheTest, ReadsAgainOnlyWhenTheFileChangesSizeOrTime) {
  const std::string path = session.AppPath(kGenmidiName);
  auto touch = [&](int seconds) {
    std::filesystem::last_write_time(path, std::filesystem::file_time_type(std::chrono::seconds(seconds)));
  };
  auto instrument = [&] { return LookupInstrument(CurrentGenmidi(session), 0); };
  ASSERT_TRUE(testing::InstallGenmidi(app.Path()));
  EXPECT_EQ(CurrentGenmidi(session), ReadGenmidi(path));

  testing::WriteFileBytes(path, "h\r\n0=Piano\r\n");
  touch(1000);
  EXPECT_EQ(instrument(), "Piano");
  testing::WriteFileBytes(path, "h\r\n0=Pinao\r\n");
  touch(1000);
  EXPECT_EQ(instrument(), "Piano");  // same size and time: served from memory
  touch(2000);
  EXPECT_EQ(instrument(), "Pinao");
  testing::WriteFileBytes(path, "h\r\n0=Harpsichord\r\n");
  touch(2000);
  EXPECT_EQ(instrument(), "Harpsichord");
  std::filesystem::remove(path);
  EXPECT_EQ(instrument(), "unknown");
  std::filesystem::create_directory(path);
  EXPECT_EQ(instrument(), "unknown");
}

}  // namespace
}  // namespace quavert
