#include "common/wav_file.h"

#include <algorithm>
#include <cmath>

namespace quavert {
namespace {

constexpr std::uint16_t kPcmFormat = 1;
constexpr std::uint16_t kBitsPerSample = 16;
constexpr std::uint32_t kFormatChunkBytes = 16;
constexpr float kFullScale = 32767.0f;

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFFu));
}

}  // namespace

std::string WavHeader(std::uint32_t frames, std::uint32_t rate) {
  const std::uint32_t data_bytes = std::min(frames, kMostWavFrames) * kWavFrameBytes;
  std::string out = "RIFF";
  PutLittleEndian(out, kWavHeaderBytes - 8 + data_bytes, 4);
  out += "WAVEfmt ";
  PutLittleEndian(out, kFormatChunkBytes, 4);
  PutLittleEndian(out, kPcmFormat, 2);
  PutLittleEndian(out, kWavChannels, 2);
  PutLittleEndian(out, rate, 4);
  PutLittleEndian(out, rate * kWavFrameBytes, 4);  // bytes a second
  PutLittleEndian(out, kWavFrameBytes, 2);         // bytes a frame
  PutLittleEndian(out, kBitsPerSample, 2);
  out += "data";
  PutLittleEndian(out, data_bytes, 4);
  return out;
}

std::string PcmBytes(std::span<const float> samples) {
  std::string out;
  out.reserve(samples.size() * 2);
  for (const float sample : samples) {
    const float clipped = std::isnan(sample) ? 0.0f : std::clamp(sample, -1.0f, 1.0f);
    const auto value = static_cast<std::int16_t>(std::lround(clipped * kFullScale));
    PutLittleEndian(out, static_cast<std::uint16_t>(value), 2);
  }
  return out;
}

WavWriter::WavWriter(const std::string& path, std::uint32_t rate) : file_(path, BinaryFile::Mode::kCreate), rate_(rate) {
  file_.Write(WavHeader(0, rate_));
  file_.Flush();
}

bool WavWriter::Append(std::span<const float> interleaved) {
  const std::size_t frames = interleaved.size() / kWavChannels;
  if (frames > kMostWavFrames - frames_) return false;
  // The sound first and the header after it: the header never counts a frame not yet there.
  file_.Seek(kWavHeaderBytes + 1 + std::int64_t{frames_} * kWavFrameBytes);
  file_.Write(PcmBytes(interleaved.first(frames * kWavChannels)));
  frames_ += static_cast<std::uint32_t>(frames);
  file_.Seek(1);
  file_.Write(WavHeader(frames_, rate_));
  file_.Flush();
  return true;
}

}  // namespace quavert
