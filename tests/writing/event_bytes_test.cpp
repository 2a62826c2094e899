#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "common/run_error.h"
#include "decoding/delta_time.h"
#include "decoding/tempo.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"
#include "writing/delta_writer.h"
#include "writing/meta_writer.h"

namespace quavert {
namespace {

using testing::Hex;
using testing::ToHex;

// The bytes a writer appends, in hexadecimal, or "error N" for the run-time error it raises.
template <typename Write>
std::string Written(Write write) {
  std::string out;
  try {
    write(out);
  } catch (const RunError& error) {
    return "error " + std::to_string(error.code());
  }
  return ToHex(out);
}

TEST(DeltaWriterTest, WritesEachDeltaInItsShortestFormAndRefusesWhatNoDeltaCanHold) {
  const std::string overflow = "error " + std::to_string(kOverflow);
  const std::vector<std::pair<std::int32_t, std::string>> cases = {
      {0, "00"}, {127, "7F"}, {128, "81 00"}, {16383, "FF 7F"}, {16384, "81 80 00"}, {999999, "BD 84 3F"},
      {2097151, "FF FF 7F"}, {2097152, "81 80 80 00"}, {2097279, "81 80 80 7F"}, {0x0FFFFFFF, "FF FF FF 7F"},
      // Beyond what four proper bytes hold, the decoder's whole fourth byte carries the rest.
      {0x10000000, "FF FF FF 80"}, {kLargestDeltaTime, "FF FF FF FF"}, {-1, overflow}, {kLargestDeltaTime + 1, overflow}};
  for (const auto& [value, bytes] : cases) EXPECT_EQ(Written([&](std::string& out) { AppendDeltaTime(out, value); }), bytes) << value;
}

TEST(DeltaWriterTest, EveryDeltaReadsBackAsItselfThroughTheDecodersReader) {
  // Every value of one and two bytes, and around each step of the byte count and of each group.
  std::vector<std::int32_t> values;
  for (std::int32_t value = 0; value < 1 << 14; ++value) values.push_back(value);
  for (const std::int32_t step : {1 << 14, 1 << 21, 1 << 28})
    for (std::int32_t value = step - 300; value < step + 300 && value <= kLargestDeltaTime; ++value) values.push_back(value);
  for (std::int32_t value = 1 << 14; value < 1 << 28; value += 9973) values.push_back(value);
  testing::TempFolder folder;
  std::string bytes;
  for (const std::int32_t value : values) AppendDeltaTime(bytes, value);
  testing::WriteFileBytes(folder.Join("deltas"), bytes);
  BinaryFile file(folder.Join("deltas"), BinaryFile::Mode::kRead);
  ByteReader reader(file, 1, static_cast<std::int64_t>(bytes.size()));
  std::size_t index = 0;
  while (index < values.size() && ReadDeltaTime(reader) == values[index]) ++index;
  EXPECT_EQ(index, values.size()) << "first read back wrong: " << values[std::min(index, values.size() - 1)];
  EXPECT_TRUE(reader.AtEnd());
}

TEST(MetaWriterTest, TempoAndTimeSignatureEvents) {
  const std::vector<std::pair<std::int64_t, const char*>> tempos = {
      {120, "07 A1 20"}, {100, "09 27 C0"}, {130, "07 0A E2"}, {97, "09 70 3C"}, {4, "E4 E1 C0"},
      // Three bytes cannot hold the microseconds of fewer than 4 beats per minute.
      {3, "FF FF FF"}, {0, "FF FF FF"}, {-5, "FF FF FF"},
      // Too fast for a whole microsecond: never a tempo of 0.
      {60000001, "00 00 01"}};
  for (const auto& [bpm, bytes] : tempos)
    EXPECT_EQ(Written([&](std::string& out) { AppendTempoEvent(out, bpm); }), "FF 51 03 " + std::string(bytes)) << bpm;
  // Every tempo the list accepts survives a save and a new decode unchanged.
  for (std::int64_t bpm = 50; bpm <= 500; ++bpm) EXPECT_EQ(BpmOfTempo(TempoMicroseconds(bpm)), bpm) << bpm;
  EXPECT_EQ(BpmOfTempo(kLargestTempo), 3);

  EXPECT_EQ(Written([](std::string& out) { AppendTimeSignatureEvent(out, 6, 8, 24, 8); }), "FF 58 04 06 03 18 08");
  EXPECT_EQ(Written([](std::string& out) { AppendTimeSignatureEvent(out, 256, 4, 24, 8); }).substr(0, 6), "error ");
  const std::vector<std::pair<std::int64_t, int>> powers = {{1, 0}, {2, 1}, {3, 2}, {4, 2}, {6, 3},
                                                            {8, 3}, {16, 4}, {0, 0}, {-8, 0}, {16384, 14}};
  for (const auto& [denominator, power] : powers) EXPECT_EQ(DenominatorPower(denominator), power) << denominator;
}

}  // namespace
}  // namespace quavert
