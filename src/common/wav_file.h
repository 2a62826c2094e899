#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "common/binary_file.h"

namespace quavert {

/// The sound Quavert writes: 16-bit PCM, two channels, samples interleaved left first.
constexpr std::uint32_t kWavChannels = 2;
constexpr std::uint32_t kWavFrameBytes = kWavChannels * 2;
constexpr std::uint32_t kWavHeaderBytes = 44;
/// The most frames a WAV file can hold: its RIFF size counts in 32 bits.
constexpr std::uint32_t kMostWavFrames = (0xFFFFFFFFu - (kWavHeaderBytes - 8)) / kWavFrameBytes;

/// The 44 bytes that open a WAV file of `frames` frames (at most kMostWavFrames) at `rate`
/// frames a second: the RIFF header, the format chunk and the header of the data chunk, which
/// comes last and runs to the end of the file.
std::string WavHeader(std::uint32_t frames, std::uint32_t rate);

/// Samples of full scale ±1 as 16-bit little-endian PCM, rounded; louder ones are clipped and
/// a sample that is not a number is silence.
std::string PcmBytes(std::span<const float> samples);

/// A WAV file that is valid at every moment it is written: after each Append the header counts
/// exactly the frames on disk, so that a player may open the file at any time.
class WavWriter {
 public:
  /// Creates (or empties) `path` and writes the header of an empty file; RunError when it cannot.
  WavWriter(const std::string& path, std::uint32_t rate);

  /// Appends interleaved stereo frames and then counts them in the header; false, writing
  /// nothing, when the file cannot hold them. RunError when the writing fails.
  bool Append(std::span<const float> interleaved);
  std::uint32_t Frames() const { return frames_; }
  /// Closes the file; RunError when what was written could not be put there.
  void Close() { file_.Close(); }

 private:
  BinaryFile file_;
  std::uint32_t rate_;
  std::uint32_t frames_ = 0;
};

}  // namespace quavert
