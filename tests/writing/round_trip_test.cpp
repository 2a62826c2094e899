#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/loaded_file.h"
#include "support/real_midi.h"
#include "support/valid_corners.h"
#include "writing_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;

class RoundTripTest : public testing::WritingTest {
 protected:
  int saved = 0, without_events = 0, not_decoded = 0;

  // Saves every track of every file unedited, each from a fresh load, twice: the first save
  // keeps the music, the second gives the same bytes.
  void SaveEveryTrack(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
      const Bytes original = testing::ReadFileBytes(path);
      for (int track = 1; track <= testing::TrackCount(original); ++track) {
        SCOPED_TRACE(path + " track " + std::to_string(track));
        Load(original);
        if (track > 1) Choose(track);
        if (session.file.LoadState == kLoadFailed || session.decoder.LastEventIndex < 0) {
          ++(session.file.LoadState == kLoadFailed ? not_decoded : without_events);
          continue;
        }
        List();
        ui.ClearLog();
        Save();
        const Bytes first = WorkCopy();
        EXPECT_EQ(testing::TrackMusic(first, track), testing::TrackMusic(original, track));
        Save();
        EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"Data saved!", "Data saved!"}));
        EXPECT_TRUE(WorkCopy() == first) << "the second save differs from the first";
        ++saved;
      }
    }
    EXPECT_GT(saved, 0);
  }
};

TEST_F(RoundTripTest, EveryTrackOfTheExamples) {
  SaveEveryTrack(testing::ExampleFiles());
  EXPECT_EQ(not_decoded, 0);
}

TEST_F(RoundTripTest, EveryTrackOfRealSongs) {
  const std::vector<std::string> files = testing::RealMidiFiles();
  if (files.empty()) GTEST_SKIP() << "no real MIDI files here (offline?)";
  SaveEveryTrack(files);
  std::printf("%zu songs: %d tracks saved twice, %d without events, %d the decoder refused\n", files.size(), saved,
              without_events, not_decoded);
}

TEST_F(RoundTripTest, ValidFilesAtTheCornersOfTheFormatLoadShowEveryTextWholeAndSaveExactly) {
  std::vector<std::string> paths;
  for (const testing::CornerFile& corner : testing::ValidCornerFiles()) {
    SCOPED_TRACE(corner.name);
    const int tracks = testing::TrackCount(corner.bytes);  // valid, as the standard reads it
    Load(corner.bytes);
    std::string text2;
    for (int track = 1; track <= tracks; ++track) {
      if (track > 1) Choose(track);
      EXPECT_NE(session.file.LoadState, kLoadFailed) << "track " << track;
      if (session.decoder.LastEventIndex >= 0) List();
      text2 += ui.Texts[Control::Text2];
    }
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{});
    const std::string report = Report();
    for (const std::string& text : corner.texts) {
      EXPECT_NE(text2.find(" " + text + "\r\n"), std::string::npos) << text.substr(0, 12) << " not in Text2";
      EXPECT_NE(report.find(" " + text + "\r\n"), std::string::npos) << text.substr(0, 12) << " not in the report";
    }
    paths.push_back(UserFile(corner.name, corner.bytes));
  }
  SaveEveryTrack(paths);
  EXPECT_EQ(not_decoded, 0);
}

}  // namespace
}  // namespace quavert
