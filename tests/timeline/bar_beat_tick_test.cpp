#include <gtest/gtest.h>

#include "timeline/bar_beat_tick.h"

namespace quavert {
namespace {

// 96 ticks a quarter: 4/4 by default, 3/4 from tick 768 (bar 3), 6/8 from tick 1000, in the
// middle of bar 3, which it cuts short.
TempoMap Meters() {
  TempoMap map;
  map.Division = 96;
  map.Meters = {{768, 3, 4}, {1000, 6, 8}};
  return map;
}

TEST(BarBeatTickTest, PlacesUnderChangingSignatures) {
  const struct {
    std::int64_t tick;
    BarBeatTick place;
    const char* cell;
  } cases[] = {
      {0, {1, 1, 0}, "0 1:1:0"},          {95, {1, 1, 95}, "95 1:1:95"},     {96, {1, 2, 0}, "96 1:2:0"},
      {383, {1, 4, 95}, "383 1:4:95"},    {384, {2, 1, 0}, "384 2:1:0"},     {767, {2, 4, 95}, "767 2:4:95"},
      {768, {3, 1, 0}, "768 3:1:0"},      {999, {3, 3, 39}, "999 3:3:39"},
      {1000, {4, 1, 0}, "1000 4:1:0"},    {1048, {4, 2, 0}, "1048 4:2:0"},   {1288, {5, 1, 0}, "1288 5:1:0"},
      {-5, {1, 1, 0}, "-5 1:1:0"},
  };
  const TempoMap map = Meters();
  for (const auto& c : cases) {
    EXPECT_EQ(BarBeatTickAt(map, c.tick), c.place) << c.tick;
    EXPECT_EQ(TimeCellText(map, c.tick), c.cell);
  }
}

TEST(BarBeatTickTest, OddSignaturesAndFrameTiming) {
  TempoMap map;
  map.Division = 3;
  map.Meters = {{0, 0, 64}};  // no beats and a beat shorter than a tick: both counted as one
  EXPECT_EQ(BarBeatTickAt(map, 7), (BarBeatTick{8, 1, 0}));
  map.FramesPerSecond = 25;
  EXPECT_EQ(TimeCellText(map, 7), "7");
}

}  // namespace
}  // namespace quavert
