#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "common/run_error.h"
#include "decoding/delta_time.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"
#include "writing/delta_writer.h"
#include "writing/meta_writer.h"

namespace quavert {
namespace {

using testing::Hex;
using testing::ToHex;

TEST(DeltaWriterTest, WritesEachDeltaInItsShortestFormAndRefusesWhatNoDeltaCanHold) {
  const std::vector<std::pair<std::int32_t, const char*>> cases = {
      {0, "00"}, {127, "7F"}, {128, "81 00"}, {16383, "FF 7F"}, {16384, "81 80 00"}, {999999, "BD 84 3F"},
      {2097151, "FF FF 7F"},
      // Beyond what three proper bytes hold, the decoder's whole third byte carries the rest.
      {2097152, "FF FF 80"}, {kLargestDeltaTime, "FF FF FF"}};
  for (const auto& [value, bytes] : cases) {
    std::string out;
    AppendDeltaTime(out, value);
    EXPECT_EQ(ToHex(out), ToHex(Hex(bytes))) << value;
  }
  for (const std::int32_t value : {-1, kLargestDeltaTime + 1}) {
    std::string out;
    try {
      AppendDeltaTime(out, value);
      ADD_FAILURE() << value << " was written";
    } catch (const RunError& error) {
      EXPECT_EQ(error.code(), kOverflow);
    }
  }
}

TEST(DeltaWriterTest, EveryDeltaReadsBackAsItselfThroughTheDecodersReader) {
  testing::TempFolder folder;
  std::string bytes;
  for (std::int32_t value = 0; value <= kLargestDeltaTime; ++value) AppendDeltaTime(bytes, value);
  testing::WriteFileBytes(folder.Join("deltas"), bytes);
  BinaryFile file(folder.Join("deltas"), BinaryFile::Mode::kRead);
  ByteReader reader(file, 1, static_cast<std::int64_t>(bytes.size()));
  std::int32_t first_wrong = -1;
  for (std::int32_t value = 0; value <= kLargestDeltaTime && first_wrong < 0; ++value)
    if (ReadDeltaTime(reader) != value) first_wrong = value;
  EXPECT_EQ(first_wrong, -1);
  EXPECT_TRUE(reader.AtEnd());
}

TEST(MetaWriterTest, TempoEventsFromBeatsPerMinute) {
  const std::vector<std::pair<std::int64_t, const char*>> cases = {
      {120, "07 A1 20"}, {100, "09 27 C0"}, {130, "07 0A E2"}, {97, "09 70 3C"}, {4, "E4 E1 C0"},
      // Three bytes cannot hold the microseconds of fewer than 4 beats per minute.
      {3, "FF FF FF"}, {1, "FF FF FF"}, {0, "FF FF FF"}, {-5, "FF FF FF"},
      // Too fast for a whole microsecond: never a tempo of 0.
      {60000001, "00 00 01"}};
  for (const auto& [bpm, bytes] : cases) {
    std::string out;
    AppendTempoEvent(out, bpm);
    EXPECT_EQ(ToHex(out), "FF 51 03 " + std::string(bytes)) << bpm;
  }
  // Every tempo the list accepts survives a save and a new decode unchanged.
  for (std::int64_t bpm = 50; bpm <= 500; ++bpm) EXPECT_EQ(TempoBpm(TempoMicroseconds(bpm)), bpm) << bpm;
  EXPECT_EQ(TempoBpm(500000), 120);
  EXPECT_EQ(TempoBpm(kLargestTempo), 3);
}

TEST(MetaWriterTest, TimeSignatureEvents) {
  std::string six_eight;
  AppendTimeSignatureEvent(six_eight, 6, 8, 24, 8);
  EXPECT_EQ(ToHex(six_eight), "FF 58 04 06 03 18 08");
  const std::vector<std::pair<std::int64_t, int>> powers = {{1, 0}, {2, 1}, {3, 2}, {4, 2}, {6, 3},
                                                            {8, 3}, {16, 4}, {0, 0}, {-8, 0}, {16384, 14}};
  for (const auto& [denominator, power] : powers) EXPECT_EQ(DenominatorPower(denominator), power) << denominator;
  EXPECT_THROW(AppendTimeSignatureEvent(six_eight, 256, 4, 24, 8), RunError);
}

}  // namespace
}  // namespace quavert
