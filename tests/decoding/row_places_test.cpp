#include <gtest/gtest.h>

#include "common/binary_file.h"
#include "decoding/row_places.h"
#include "support/midi_bytes.h"
#include "support/standard_reader.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;

constexpr std::int64_t kDataFirst = 23;  // after the header chunk and the track's chunk header

struct Walk {
  std::vector<RowPlace> places;
  testing::StandardFile standard;
};

Walk WalkTrack(const Bytes& data, std::int64_t first_event_pos, std::int64_t cut = 0) {
  testing::TempFolder folder;
  const Bytes file = testing::Smf(0, 96, {data});
  testing::WriteFileBytes(folder.Join("t.mid"), file);
  BinaryFile binary(folder.Join("t.mid"), BinaryFile::Mode::kRead);
  const auto last = static_cast<std::int64_t>(file.size()) - cut;
  return {RowPlaces(binary, kDataFirst, last, first_event_pos), testing::ReadStandardFile(file)};
}

// A track of every kind of row: a name before the timed part (no row), a program change that
// begins it, a note, one under running status, a key signature (no row) whose delta counts for
// what follows, a tempo, a system-exclusive event with a two-byte length, a text.
const Bytes kSysexData(128, '\x11');
const Bytes kTrack = Hex("00 FF 03 02 41 42 00 C0 05 10 90 3C 64 60 3C 00 00 FF 59 02 00 00 20 FF 51 03 07 A1 20 00") +
                     Hex("F0 81 00") + kSysexData + Hex("05 FF 01 01 41 00 FF 2F 00");
constexpr std::int64_t kFirstEvent = kDataFirst + 7;

TEST(RowPlacesTest, EachRowHasItsEventsBytesAndTicks) {
  const Walk walk = WalkTrack(kTrack, kFirstEvent);
  const std::vector<RowPlace> expected = {
      {kDataFirst + 7, kDataFirst + 8, 0},      // C0 05
      {kDataFirst + 10, kDataFirst + 12, 16},   // 90 3C 64
      {kDataFirst + 14, kDataFirst + 15, 112},  // 3C 00 under running status
      {kDataFirst + 23, kDataFirst + 28, 144},  // the tempo, after the key signature's 32 ticks
      {kDataFirst + 30, kDataFirst + 160, 144}, // F0 81 00 and 128 bytes
      {kDataFirst + 162, kDataFirst + 165, 149},
  };
  EXPECT_EQ(walk.places, expected);
  // The ticks agree with a reader of the standard: its events but the name, the key signature and the end.
  const auto& events = walk.standard.chunks.at(0).events;
  ASSERT_EQ(events.size(), 9u);
  const std::vector<std::size_t> with_rows = {1, 2, 3, 5, 6, 7};
  for (std::size_t row = 0; row < with_rows.size() && row < walk.places.size(); ++row)
    EXPECT_EQ(static_cast<std::uint64_t>(walk.places[row].tick), events[with_rows[row]].tick) << row;
}

TEST(RowPlacesTest, TheWalkStopsWhereTheDecoderStops) {
  struct Case {
    const char* name;
    Bytes data;
    std::int64_t first_event_pos;
    std::int64_t cut;  // bytes of the file left out of the track's data
    std::vector<RowPlace> expected;
  };
  const Case cases[] = {
      {"cut short inside the sysex", kTrack, kFirstEvent, 40,
       {{kDataFirst + 7, kDataFirst + 8, 0}, {kDataFirst + 10, kDataFirst + 12, 16},
        {kDataFirst + 14, kDataFirst + 15, 112}, {kDataFirst + 23, kDataFirst + 28, 144}}},
      {"an invalid meta type", Hex("00 90 3C 64 00 FF 60 00 00 90 3E 64 00 FF 2F 00"), kDataFirst + 1, 0,
       {{kDataFirst + 1, kDataFirst + 3, 0}}},
      {"a text with a delta begins the timed part", Hex("00 FF 01 01 41 05 90 3C 64 00 FF 2F 00"), kDataFirst + 1, 0,
       {{kDataFirst + 1, kDataFirst + 4, 0}, {kDataFirst + 6, kDataFirst + 8, 5}}},
  };
  for (const Case& c : cases) EXPECT_EQ(WalkTrack(c.data, c.first_event_pos, c.cut).places, c.expected) << c.name;
}

}  // namespace
}  // namespace quavert
