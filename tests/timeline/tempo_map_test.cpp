#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/binary_file.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"
#include "timeline/file_timeline.h"
#include "timeline/tempo_map.h"

namespace quavert {

inline void PrintTo(const TempoChange& c, std::ostream* out) { *out << "{" << c.Tick << ", " << c.Microseconds << "}"; }
inline void PrintTo(const MeterChange& c, std::ostream* out) {
  *out << "{" << c.Tick << ", " << c.Numerator << "/" << c.Denominator << "}";
}

namespace {

using testing::Hex;

TempoMap MapOf(const std::string& bytes) {
  testing::TempFolder folder;
  BinaryFile file(folder.Write("song.mid", bytes), BinaryFile::Mode::kRead);
  return ReadTempoMap(file);
}

// 480 ticks a quarter; 120 beats a minute, then 60 from tick 480; 3/4, then 2/4 from tick 960,
// in the middle of the first bar. The second track's events come in among the first's.
const std::string kTwoTracks =
    testing::Smf(1, 480, {Hex("00 FF 51 03 07 A1 20  00 FF 58 04 03 02 18 08  83 60 FF 51 03 0F 42 40  00 FF 2F 00"),
                          Hex("00 90 3C 40  87 40 FF 58 04 02 02 18 08  00 80 3C 40  00 FF 2F 00")});

TEST(TempoMapTest, EveryTracksTemposAndTimeSignaturesAreRead) {
  const TempoMap map = MapOf(kTwoTracks);
  EXPECT_EQ(map.Division, 480);
  EXPECT_EQ(map.FramesPerSecond, 0);
  EXPECT_EQ(map.Tempos, (std::vector<TempoChange>{{0, 500000}, {480, 1000000}}));
  EXPECT_EQ(map.Meters, (std::vector<MeterChange>{{0, 3, 4}, {960, 2, 4}}));
  // No header, a cut track, a tempo of 0 and a short signature give what can be read.
  EXPECT_EQ(MapOf("no MIDI file").Tempos.size(), 0u);
  const TempoMap damaged = MapOf(testing::Smf(0, 96, {Hex("00 FF 51 03 00 00 00  00 FF 58 01 03  10 FF 51 03 0F 42")}));
  EXPECT_EQ(damaged.Division, 96);
  EXPECT_TRUE(damaged.Tempos.empty() && damaged.Meters.empty());
}

TEST(TempoMapTest, TicksBecomeSecondsBarsAndBeatsAndBack) {
  const TempoMap map = MapOf(kTwoTracks);
  const struct {
    std::int64_t tick;
    double seconds;
    BarBeat place;
  } cases[] = {
      {0, 0.0, {1, 1}},     {240, 0.25, {1, 1}},  {480, 0.5, {1, 2}},   {500, 0.5 + 20.0 / 480, {1, 2}},
      {960, 1.5, {2, 1}},   {1439, 1.5 + 479.0 / 480, {2, 1}}, {1440, 2.5, {2, 2}}, {1920, 3.5, {3, 1}},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(SecondsAtTick(map, c.tick), c.seconds) << c.tick;
    EXPECT_EQ(TickAtSeconds(map, c.seconds), c.tick) << c.tick;
    EXPECT_EQ(BarBeatAtTick(map, c.tick), c.place) << c.tick;
  }
  EXPECT_EQ(TickAtSeconds(map, -1), 0);
  EXPECT_EQ(BarLineTicks(map, 0, 3000, 100), (std::vector<std::int64_t>{0, 960, 1920, 2880}));
  EXPECT_EQ(BarLineTicks(map, 1, 2880, 100), (std::vector<std::int64_t>{960, 1920, 2880}));
  EXPECT_EQ(BarLineTicks(map, 0, 1000000, 2), (std::vector<std::int64_t>{0, 960}));
  EXPECT_EQ(PlacePositionText(map, 1440, 1920), "Bar 2 Beat 2 | 00:02.5 / 00:03.5");

  // Without tempo or signature: 120 beats a minute in 4/4. Timed in frames: 25 frames of 40
  // ticks a second, whatever the tempo says.
  const TempoMap plain = MapOf(testing::Smf(0, 96, {Hex("00 FF 2F 00")}));
  EXPECT_EQ(PlacePositionText(plain, 96 * 9, 96 * 8 * 30), "Bar 3 Beat 2 | 00:04.5 / 02:00.0");
  std::string smpte = kTwoTracks;
  smpte[12] = static_cast<char>(0xE7);
  smpte[13] = 40;
  const TempoMap frames = MapOf(smpte);
  EXPECT_EQ(frames.FramesPerSecond, 25);
  EXPECT_DOUBLE_EQ(SecondsAtTick(frames, 1500), 1.5);
  EXPECT_EQ(TickAtSeconds(frames, 1.5), 1500);
}

TEST(TempoMapTest, PlayTimeIsShownInMinutesSecondsAndTenths) {
  const std::pair<double, const char*> cases[] = {{0, "00:00.0"}, {0.09, "00:00.0"}, {9.95, "00:09.9"},
                                                  {61.37, "01:01.3"}, {599.99, "09:59.9"}, {6000, "100:00.0"},
                                                  {-3, "00:00.0"}};
  for (const auto& [seconds, text] : cases) EXPECT_EQ(PlayTimeText(seconds), text) << seconds;
}

}  // namespace
}  // namespace quavert
