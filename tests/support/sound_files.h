#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quavert::testing {

/// A SoundFont of one preset (bank 0, program 0, and the drum kit) that plays a looped sine wave
/// at full scale on every key, without release: small enough to load in an instant, loud enough
/// to measure.
std::string SineSoundFont();

/// What the header of a 16-bit PCM WAV file says, read chunk by chunk.
struct WavFacts {
  bool Valid = false;       ///< RIFF/WAVE with a 16-bit PCM format chunk and then a data chunk
  std::int64_t RiffEnd = 0;  ///< where the RIFF size says the file ends
  std::int64_t DataEnd = 0;  ///< where the data chunk's size says it ends
  std::uint32_t Rate = 0;
  std::uint32_t Channels = 0;
  std::int64_t Frames = 0;  ///< by the data chunk's size
  double Seconds() const { return Rate == 0 ? 0 : static_cast<double>(Frames) / Rate; }
};
WavFacts ReadWavFacts(std::string_view wav);

/// The root mean square of the samples of a 16-bit PCM WAV file, full scale being 1; not a
/// number (neither loud nor quiet) when the bytes hold no such samples.
double WavRms(std::string_view wav);

}  // namespace quavert::testing
