#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>

#include "bench_files.h"
#include "generate/midi_checks.h"
#include "generate/smf_walk.h"

namespace quavert::generate {
namespace {

using testing::ChannelEvents;
using testing::ContentsOf;
using testing::WalkedEvent;
using testing::WalkedFile;
using testing::WalkSmf;

FileOptions Song(int tracks, std::int64_t events, std::uint64_t seed = 1) {
  return {Style::kSong, tracks, events, seed};
}

FileOptions Named(const char* name) {
  const std::optional<FileOptions> options = Preset(name);
  if (!options) throw std::logic_error("no such preset");
  return *options;
}

// Where a tempo, meter or key stands before the first channel or system-exclusive event, the
// program shows it as the file's own (the first tempo is the one its tempo box edits).
bool BeforeTheFirstTimedEvent(const testing::WalkedTrack& track, int meta_type) {
  for (const WalkedEvent& event : track.events) {
    if (event.status != 0xFF) return false;
    if (event.meta_type == meta_type) return true;
  }
  return false;
}

TEST(BenchFilesTest, TheSameOptionsGiveTheSameBytesAndAnotherSeedOtherMusic) {
  const Bytes first = MakeFile(Named("single"));
  EXPECT_EQ(MakeFile(Named("single")), first);
  const Bytes reseeded = MakeFile(Song(1, 16'000, 2));
  EXPECT_NE(reseeded, first);
  EXPECT_EQ(ContentsOf(WalkSmf(reseeded)).channel_events, 16'000u);
  EXPECT_EQ(MakeFile(Named("drums")), MakeFile(Named("drums")));
  EXPECT_EQ(MakeFile(Named("programs")), MakeFile(Named("programs")));
}

TEST(BenchFilesTest, TheSingleTrackFileHoldsEveryKindOfEventTheBenchmarksNeed) {
  const WalkedFile file = WalkSmf(MakeFile(Named("single")));
  EXPECT_EQ(file.format, 0);
  ASSERT_EQ(file.tracks.size(), 1u);
  EXPECT_EQ(file.division, 480);
  const testing::Contents contents = ContentsOf(file);
  EXPECT_EQ(contents.channel_events, 16'000u);
  EXPECT_EQ(contents.kinds, (std::set<int>{0x90, 0xB0, 0xC0, 0xE0, 0xF0}));
  for (int type : {0x03, 0x51, 0x58, 0x59, 0x2F}) EXPECT_TRUE(contents.meta_types.count(type)) << type;
  EXPECT_TRUE(BeforeTheFirstTimedEvent(file.tracks[0], 0x51));
  EXPECT_TRUE(BeforeTheFirstTimedEvent(file.tracks[0], 0x58));
  EXPECT_TRUE(contents.drum_keys.count(36) && contents.drum_keys.count(38) && contents.drum_keys.count(42));
  EXPECT_GT(contents.running_status_events, 4'000u);
  EXPECT_LT(contents.running_status_events, contents.channel_events);
  EXPECT_EQ(testing::HangingNote(file), "");
  std::set<int> channels;
  for (const WalkedEvent& event : ChannelEvents(file.tracks[0])) channels.insert(event.status & 0x0F);
  EXPECT_EQ(channels, (std::set<int>{0, 1, 2, 9}));
}

TEST(BenchFilesTest, EventsAreSharedOutOverTheTracksExactly) {
  const WalkedFile file = WalkSmf(MakeFile(Song(16, 1003)));
  EXPECT_EQ(file.format, 1);
  ASSERT_EQ(file.tracks.size(), 16u);
  std::size_t total = 0;
  for (std::size_t t = 0; t < file.tracks.size(); ++t) {
    const std::vector<WalkedEvent> events = ChannelEvents(file.tracks[t]);
    EXPECT_EQ(events.size(), t < 11 ? 63u : 62u) << "track " << t + 1;
    total += events.size();
    for (const WalkedEvent& event : events) EXPECT_EQ(event.status & 0x0F, static_cast<int>(t)) << "track " << t + 1;
  }
  EXPECT_EQ(total, 1003u);
  const std::vector<std::string> names = testing::TrackNames(file);
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 16u) << "every track named, no two alike";
  EXPECT_EQ(names[9], "Drums 10");
  EXPECT_TRUE(BeforeTheFirstTimedEvent(file.tracks[0], 0x51));
  for (std::size_t t = 1; t < file.tracks.size(); ++t) EXPECT_FALSE(ContentsOf({1, 1, 480, {file.tracks[t]}}).meta_types.count(0x51));
  EXPECT_EQ(testing::HangingNote(file), "");
}

TEST(BenchFilesTest, SmallAndOddCountsStayExactAndValid) {
  for (int tracks : {1, 2, 3, 72}) {
    for (std::int64_t events : {0, 1, 2, 3, 5, 7, 11, 150}) {
      const WalkedFile file = WalkSmf(MakeFile(Song(tracks, events)));
      EXPECT_EQ(static_cast<std::int64_t>(ContentsOf(file).channel_events), events) << tracks << " tracks";
      EXPECT_EQ(file.tracks.size(), static_cast<std::size_t>(tracks));
    }
  }
  for (std::int64_t events : {0, 1, 2, 3, 63, 124, 125}) {
    EXPECT_EQ(static_cast<std::int64_t>(ContentsOf(WalkSmf(MakeFile({Style::kDrums, 1, events, 1}))).channel_events), events);
    EXPECT_EQ(static_cast<std::int64_t>(ContentsOf(WalkSmf(MakeFile({Style::kPrograms, 1, events, 1}))).channel_events), events);
  }
}

TEST(BenchFilesTest, TheDrumTrackNeverRepeatsAKeyNextToItself) {
  const WalkedFile file = WalkSmf(MakeFile(Named("drums")));
  ASSERT_EQ(file.tracks.size(), 1u);
  const std::vector<WalkedEvent> events = ChannelEvents(file.tracks[0]);
  ASSERT_EQ(events.size(), 16'000u);
  std::set<int> keys;
  std::size_t on = 0;
  for (std::size_t i = 0; i < events.size(); ++i) {
    ASSERT_EQ(events[i].status, 0x99) << "event " << i;
    if (events[i].data2 > 0) ++on;
    keys.insert(events[i].data1);
    if (i > 0) {
      ASSERT_NE(events[i].data1, events[i - 1].data1) << "event " << i;
    }
  }
  EXPECT_EQ(on, 8'000u);
  EXPECT_EQ(keys.size(), 62u);
  EXPECT_EQ(*keys.begin(), 27);
  EXPECT_EQ(*keys.rbegin(), 88);
  EXPECT_EQ(testing::HangingNote(file), "");
}

TEST(BenchFilesTest, TheProgramTrackUsesEveryProgramAndNeverTheDrumChannel) {
  const WalkedFile file = WalkSmf(MakeFile(Named("programs")));
  ASSERT_EQ(file.tracks.size(), 1u);
  const std::vector<WalkedEvent> events = ChannelEvents(file.tracks[0]);
  ASSERT_EQ(events.size(), 16'000u);
  std::set<int> programs;
  std::size_t running = 0;
  for (std::size_t i = 0; i < events.size(); ++i) {
    ASSERT_EQ(events[i].status & 0xF0, 0xC0) << "event " << i;
    ASSERT_NE(events[i].status & 0x0F, 9) << "event " << i;
    programs.insert(events[i].data1);
    if (events[i].running_status) ++running;
    if (i > 0) {
      ASSERT_NE(events[i].data1, events[i - 1].data1) << "event " << i;
    }
  }
  EXPECT_EQ(programs.size(), 128u);
  EXPECT_GT(running, 8'000u) << "the channel changes only now and then";
}

TEST(BenchFilesTest, TheMediumFileHasItsMillionEventsInSixteenTracks) {
  const Bytes bytes = MakeFile(Named("medium"));
  EXPECT_GT(bytes.size(), 3'000'000u);
  EXPECT_LT(bytes.size(), 4'500'000u);
  const WalkedFile file = WalkSmf(bytes);
  ASSERT_EQ(file.tracks.size(), 16u);
  EXPECT_EQ(file.format, 1);
  for (const testing::WalkedTrack& track : file.tracks) EXPECT_EQ(ChannelEvents(track).size(), 62'500u);
  const testing::Contents contents = ContentsOf(file);
  EXPECT_EQ(contents.kinds, (std::set<int>{0x90, 0xB0, 0xC0, 0xE0, 0xF0}));
  EXPECT_GT(std::count_if(file.tracks[0].events.begin(), file.tracks[0].events.end(),
                          [](const WalkedEvent& event) { return event.status == 0xF0; }),
            10);
}

TEST(BenchFilesTest, OptionsOutsideWhatTheProgramLoadsAreRefused) {
  EXPECT_THROW(MakeFile(Song(0, 10)), std::invalid_argument);
  EXPECT_THROW(MakeFile(Song(73, 10)), std::invalid_argument);
  EXPECT_THROW(MakeFile(Song(1, -1)), std::invalid_argument);
  EXPECT_THROW(MakeFile(Song(1, kMaxEvents + 1)), std::invalid_argument);
  EXPECT_THROW(MakeFile({Style::kDrums, 2, 10, 1}), std::invalid_argument);
  EXPECT_FALSE(Preset("huge").has_value());
}

}  // namespace
}  // namespace quavert::generate
