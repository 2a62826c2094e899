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
using testing::Describe;
using testing::ReadStandardFile;
using testing::StandardChunk;
using testing::StandardFile;

std::vector<std::string> ExampleFiles() {
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(QUAVERT_EXAMPLES_FOLDER))
    if (entry.path().extension() == ".mid") paths.push_back(entry.path().string());
  std::sort(paths.begin(), paths.end());
  return paths;
}


// The chunks that are tracks, in order, as the program numbers them.
std::vector<const StandardChunk*> Tracks(const StandardFile& file) {
  std::vector<const StandardChunk*> tracks;
  for (const StandardChunk& chunk : file.chunks)
    if (chunk.id == "MTrk") tracks.push_back(&chunk);
  return tracks;
}

// `saved` holds the same music as `original`: the same header and chunks, every chunk but
// track `track` byte for byte, and in that track every event at the same time with the same
// status and bytes.
::testing::AssertionResult SameMusic(const StandardFile& before, const Bytes& saved, int track) {
  StandardFile after;
  try {
    after = ReadStandardFile(saved);
  } catch (const testing::StandardReadError& error) {
    return ::testing::AssertionFailure() << error.what();
  }
  if (after.header != before.header) return ::testing::AssertionFailure() << "the header changed";
  if (after.chunks.size() != before.chunks.size()) return ::testing::AssertionFailure() << "chunks came or went";
  const StandardChunk* saved_track = Tracks(before).at(static_cast<std::size_t>(track - 1));
  for (std::size_t i = 0; i < before.chunks.size(); ++i) {
    const StandardChunk& old_chunk = before.chunks[i];
    const StandardChunk& new_chunk = after.chunks[i];
    if (new_chunk.id != old_chunk.id) return ::testing::AssertionFailure() << "chunk " << i << " changed its id";
    if (&old_chunk == saved_track) {
      if (new_chunk.events != old_chunk.events)
        return ::testing::AssertionFailure() << "events differ:\n" << Describe(old_chunk.events) << "--\n"
                                             << Describe(new_chunk.events);
    } else if (new_chunk.data != old_chunk.data) {
      return ::testing::AssertionFailure() << "chunk " << i << " changed";
    }
  }
  return ::testing::AssertionSuccess();
}

class RoundTripTest : public testing::WritingTest {
 protected:
  struct Tally {
    int saved = 0;
    int without_events = 0;
    int not_decoded = 0;
  };

  // Saves every track of the file at `path` unedited, each from a fresh load, twice.
  void SaveEveryTrack(const std::string& path, Tally& tally) {
    SCOPED_TRACE(path);
    const Bytes original = testing::ReadFileBytes(path);
    const StandardFile before = ReadStandardFile(original);
    const std::size_t tracks = Tracks(before).size();
    for (int track = 1; track <= static_cast<int>(tracks); ++track) {
      SCOPED_TRACE("track " + std::to_string(track));
      Load(original);
      ASSERT_TRUE(session.file.FileLoaded);
      if (track > 1) Choose(track);
      if (session.file.LoadState == kLoadFailed) {
        ++tally.not_decoded;
        continue;
      }
      if (session.decoder.LastEventIndex < 0) {
        ++tally.without_events;
        continue;
      }
      List();
      ui.ClearLog();
      Save();
      ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{"Data saved!"});
      const Bytes first = WorkCopy();
      EXPECT_TRUE(SameMusic(before, first, track));
      ui.ClearLog();
      Save();
      ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{"Data saved!"});
      EXPECT_TRUE(WorkCopy() == first) << "the second save differs from the first";
      ++tally.saved;
    }
  }
};

TEST_F(RoundTripTest, EveryTrackOfTheExamples) {
  Tally tally;
  const std::vector<std::string> files = ExampleFiles();
  ASSERT_FALSE(files.empty());
  for (const std::string& path : files) SaveEveryTrack(path, tally);
  EXPECT_GT(tally.saved, 0);
  EXPECT_EQ(tally.not_decoded, 0);
}

TEST_F(RoundTripTest, EveryTrackOfRealSongs) {
  const std::vector<std::string> files = testing::RealMidiFiles();
  if (files.empty()) GTEST_SKIP() << "no real MIDI files here (offline?)";
  Tally tally;
  for (const std::string& path : files) SaveEveryTrack(path, tally);
  std::printf("%zu songs: %d tracks saved twice, %d without events, %d the decoder refused\n", files.size(),
              tally.saved, tally.without_events, tally.not_decoded);
  EXPECT_GT(tally.saved, 0);
}

}  // namespace
}  // namespace quavert
