#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "loading/loaded_file.h"
#include "standard_reader.h"
#include "support/real_midi.h"
#include "writing_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::StandardChunk;
using testing::StandardFile;

// What a save of track `track` must keep, as the MIDI standard reads `file`: the header, every
// chunk's id, every other chunk byte for byte, and in that track every event's time, status and
// bytes.
std::vector<std::string> Music(const Bytes& file, int track) {
  const StandardFile read = testing::ReadStandardFile(file);
  std::vector<std::string> music = {testing::ToHex(read.header)};
  int tracks = 0;
  for (const StandardChunk& chunk : read.chunks) {
    if (chunk.id != "MTrk" || ++tracks != track) {
      music.push_back(chunk.id + " " + testing::ToHex(chunk.data));
      continue;
    }
    music.push_back(chunk.id);
    for (const testing::StandardEvent& event : chunk.events)
      music.push_back(std::to_string(event.tick) + " " + testing::ToHex(static_cast<char>(event.status) + event.data));
  }
  return music;
}

class RoundTripTest : public testing::WritingTest {
 protected:
  int saved = 0, without_events = 0, not_decoded = 0;

  // Saves every track of every file unedited, each from a fresh load, twice: the first save
  // keeps the music, the second gives the same bytes.
  void SaveEveryTrack(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
      const Bytes original = testing::ReadFileBytes(path);
      const StandardFile read = testing::ReadStandardFile(original);
      const auto tracks = std::count_if(read.chunks.begin(), read.chunks.end(), [](auto& c) { return c.id == "MTrk"; });
      for (int track = 1; track <= tracks; ++track) {
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
        EXPECT_EQ(Music(first, track), Music(original, track));
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
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(QUAVERT_EXAMPLES_FOLDER))
    if (entry.path().extension() == ".mid") files.push_back(entry.path().string());
  SaveEveryTrack(files);
  EXPECT_EQ(not_decoded, 0);
}

TEST_F(RoundTripTest, EveryTrackOfRealSongs) {
  const std::vector<std::string> files = testing::RealMidiFiles();
  if (files.empty()) GTEST_SKIP() << "no real MIDI files here (offline?)";
  SaveEveryTrack(files);
  std::printf("%zu songs: %d tracks saved twice, %d without events, %d the decoder refused\n", files.size(), saved,
              without_events, not_decoded);
}

}  // namespace
}  // namespace quavert
