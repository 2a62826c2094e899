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

// `saved` holds the same music as `before`: the same header and chunks, every chunk but track
// `track` byte for byte, and in that track every event at the same time with the same status
// and bytes.
::testing::AssertionResult SameMusic(const StandardFile& before, const Bytes& saved, int track) {
  StandardFile after;
  try {
    after = testing::ReadStandardFile(saved);
  } catch (const testing::StandardReadError& error) {
    return ::testing::AssertionFailure() << error.what();
  }
  if (after.header != before.header || after.chunks.size() != before.chunks.size())
    return ::testing::AssertionFailure() << "the header changed, or chunks came or went";
  for (std::size_t i = 0, tracks = 0; i < before.chunks.size(); ++i) {
    const StandardChunk& old_chunk = before.chunks[i];
    const StandardChunk& new_chunk = after.chunks[i];
    const bool saved_track = old_chunk.id == "MTrk" && ++tracks == static_cast<std::size_t>(track);
    if (new_chunk.id != old_chunk.id) return ::testing::AssertionFailure() << "chunk " << i << " changed its id";
    if (saved_track && new_chunk.events != old_chunk.events)
      return ::testing::AssertionFailure() << "events differ:\n"
                                           << Describe(old_chunk.events) << "--\n" << Describe(new_chunk.events);
    if (!saved_track && new_chunk.data != old_chunk.data) return ::testing::AssertionFailure() << "chunk " << i << " changed";
  }
  return ::testing::AssertionSuccess();
}

class RoundTripTest : public testing::WritingTest {
 protected:
  int saved = 0, without_events = 0, not_decoded = 0;

  // Saves every track of the file at `path` unedited, each from a fresh load, twice: the first
  // save keeps the music, the second gives the same bytes.
  void SaveEveryTrack(const std::string& path) {
    SCOPED_TRACE(path);
    const Bytes original = testing::ReadFileBytes(path);
    const StandardFile before = testing::ReadStandardFile(original);
    const auto tracks = std::count_if(before.chunks.begin(), before.chunks.end(), [](auto& c) { return c.id == "MTrk"; });
    for (int track = 1; track <= tracks; ++track) {
      SCOPED_TRACE("track " + std::to_string(track));
      Load(original);
      ASSERT_TRUE(session.file.FileLoaded);
      if (track > 1) Choose(track);
      if (session.file.LoadState == kLoadFailed || session.decoder.LastEventIndex < 0) {
        ++(session.file.LoadState == kLoadFailed ? not_decoded : without_events);
        continue;
      }
      List();
      ui.ClearLog();
      Save();
      const Bytes first = WorkCopy();
      EXPECT_TRUE(SameMusic(before, first, track));
      Save();
      EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"Data saved!", "Data saved!"}));
      EXPECT_TRUE(WorkCopy() == first) << "the second save differs from the first";
      ++saved;
    }
  }
};

TEST_F(RoundTripTest, EveryTrackOfTheExamples) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(QUAVERT_EXAMPLES_FOLDER))
    if (entry.path().extension() == ".mid") files.push_back(entry.path().string());
  ASSERT_FALSE(files.empty());
  std::sort(files.begin(), files.end());
  for (const std::string& path : files) SaveEveryTrack(path);
  EXPECT_GT(saved, 0);
  EXPECT_EQ(not_decoded, 0);
}

TEST_F(RoundTripTest, EveryTrackOfRealSongs) {
  const std::vector<std::string> files = testing::RealMidiFiles();
  if (files.empty()) GTEST_SKIP() << "no real MIDI files here (offline?)";
  for (const std::string& path : files) SaveEveryTrack(path);
  std::printf("%zu songs: %d tracks saved twice, %d without events, %d the decoder refused\n", files.size(), saved,
              without_events, not_decoded);
  EXPECT_GT(saved, 0);
}

}  // namespace
}  // namespace quavert
