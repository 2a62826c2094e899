#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/run_error.h"
#include "common/wav_file.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using testing::Hex;

// The header spelled out: RIFF size = 36 + data bytes; PCM, 2 channels, the rate, bytes a second
// (rate times 4), 4 bytes a frame, 16 bits; then the data chunk's size, 4 bytes a frame.
TEST(WavFileTest, TheHeaderCountsTheFramesAndStopsAtTheLargestFileAWavCanBe) {
  const std::string format = "WAVEfmt " + Hex("10 00 00 00 01 00 02 00");
  const std::tuple<std::uint32_t, std::uint32_t, std::string> cases[] = {
      {0, 44100, "RIFF" + Hex("24 00 00 00") + format + Hex("44 AC 00 00 10 B1 02 00 04 00 10 00") + "data" + Hex("00 00 00 00")},
      {3, 44100, "RIFF" + Hex("30 00 00 00") + format + Hex("44 AC 00 00 10 B1 02 00 04 00 10 00") + "data" + Hex("0C 00 00 00")},
      {22050, 22050, "RIFF" + Hex("AC 58 01 00") + format + Hex("22 56 00 00 88 58 01 00 04 00 10 00") + "data" + Hex("88 58 01 00")},
      {kMostWavFrames, 96000, "RIFF" + Hex("FC FF FF FF") + format + Hex("00 77 01 00 00 DC 05 00 04 00 10 00") + "data" + Hex("D8 FF FF FF")},
      {0xFFFFFFFF, 96000, "RIFF" + Hex("FC FF FF FF") + format + Hex("00 77 01 00 00 DC 05 00 04 00 10 00") + "data" + Hex("D8 FF FF FF")},
  };
  for (const auto& [frames, rate, bytes] : cases) EXPECT_EQ(testing::ToHex(WavHeader(frames, rate)), testing::ToHex(bytes)) << frames;
}

TEST(WavFileTest, SamplesAreRoundedClippedAndLittleEndian) {
  const std::vector<float> samples = {0, 1, -1, 0.5f, -0.5f, 2, -2, NAN, 1e-6f, 1 / 32767.0f};
  EXPECT_EQ(testing::ToHex(PcmBytes(samples)), "00 00 FF 7F 01 80 00 40 00 C0 FF 7F 01 80 00 00 00 00 01 00");
}

// After every append the file on disk is a whole WAV file of what was appended so far.
TEST(WavFileTest, TheFileIsWholeAfterEveryAppend) {
  testing::TempFolder folder;
  const std::string path = folder.Join("out.wav");
  WavWriter writer(path, 8000);
  EXPECT_EQ(testing::ReadFileBytes(path), WavHeader(0, 8000));
  const std::vector<std::vector<float>> blocks = {{0.25f, -0.25f}, {1, 0, -1, 0.5f}, {}, {0.75f, 0.75f, 0.75f}};
  std::string sound;
  std::uint32_t frames = 0;
  for (const std::vector<float>& block : blocks) {
    ASSERT_TRUE(writer.Append(block));
    frames += static_cast<std::uint32_t>(block.size() / 2);
    sound += PcmBytes(std::span(block).first(block.size() / 2 * 2));  // half a frame is dropped
    EXPECT_EQ(writer.Frames(), frames);
    EXPECT_EQ(testing::ToHex(testing::ReadFileBytes(path)), testing::ToHex(WavHeader(frames, 8000) + sound));
  }
  writer.Close();
  EXPECT_THROW(WavWriter(folder.Join("no folder/out.wav"), 8000), RunError);
}

}  // namespace
}  // namespace quavert
