#include "support/sound_files.h"

#include <cmath>
#include <numbers>

namespace quavert::testing {
namespace {

// `value` in `size` bytes, least significant first.
std::string LittleEndian(std::uint32_t value, int size) {
  std::string out;
  for (int i = 0; i < size; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
  return out;
}
std::string Word(std::uint32_t value) { return LittleEndian(value, 2); }
std::string Dword(std::uint32_t value) { return LittleEndian(value, 4); }
std::uint32_t ReadLittleEndian(std::string_view bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}
// A name field of `size` bytes, padded with NULs.
std::string Name(std::string name, std::size_t size) { return name.resize(size, '\0'), name; }
std::string Chunk(std::string_view id, const std::string& body) {
  return std::string(id) + Dword(static_cast<std::uint32_t>(body.size())) + body + std::string(body.size() % 2, '\0');
}

// Generator operators and sample values of the SoundFont format.
constexpr std::uint32_t kInstrument = 41, kSampleId = 53, kSampleModes = 54, kLoopContinuously = 1;
constexpr std::uint32_t kSampleRate = 44100, kMonoSample = 1, kDrumBank = 128;
constexpr std::uint32_t kPeriod = 168;  // samples of one sine period: 262.5 Hz, about middle C
constexpr std::uint32_t kGuard = 46;    // zero samples the format wants after every sample
constexpr char kMiddleC = 60;

std::string Samples() {
  std::string out;
  for (std::uint32_t i = 0; i < kPeriod; ++i)
    out += Word(static_cast<std::uint16_t>(std::lround(30000.0 * std::sin(2 * std::numbers::pi * i / kPeriod))));
  return out + std::string(2 * kGuard, '\0');
}

std::string PresetData() {
  // The same sine as the first melodic preset and as the drum kit, so that no channel is mute.
  auto preset = [](const char* name, std::uint32_t bank, std::uint32_t bag) {
    return Name(name, 20) + Word(0) + Word(bank) + Word(bag) + Dword(0) + Dword(0) + Dword(0);
  };
  const std::string no_modulators(10, '\0');
  return Chunk("phdr", preset("Sine", 0, 0) + preset("Sine drums", kDrumBank, 1) + preset("EOP", 0, 2)) +
         Chunk("pbag", Word(0) + Word(0) + Word(1) + Word(0) + Word(2) + Word(0)) + Chunk("pmod", no_modulators) +
         Chunk("pgen", Word(kInstrument) + Word(0) + Word(kInstrument) + Word(0) + Word(0) + Word(0)) +
         Chunk("inst", Name("Sine", 20) + Word(0) + Name("EOI", 20) + Word(1)) +
         Chunk("ibag", Word(0) + Word(0) + Word(2) + Word(0)) + Chunk("imod", no_modulators) +
         Chunk("igen", Word(kSampleModes) + Word(kLoopContinuously) + Word(kSampleId) + Word(0) + Word(0) + Word(0)) +
         Chunk("shdr", Name("Sine", 20) + Dword(0) + Dword(kPeriod) + Dword(0) + Dword(kPeriod) + Dword(kSampleRate) +
                           kMiddleC + '\0' + Word(0) + Word(kMonoSample) + Name("EOS", 46));
}

}  // namespace

std::string SineSoundFont() {
  const std::string info = Chunk("ifil", Word(2) + Word(1)) + Chunk("isng", Name("EMU8000", 8)) +
                           Chunk("INAM", Name("Quavert test sine", 18));
  const auto list = [](std::string_view type, const std::string& chunks) { return Chunk("LIST", std::string(type) + chunks); };
  return Chunk("RIFF", "sfbk" + list("INFO", info) + list("sdta", Chunk("smpl", Samples())) + list("pdta", PresetData()));
}

WavFacts ReadWavFacts(std::string_view wav) {
  WavFacts facts;
  if (wav.size() < 12 || wav.substr(0, 4) != "RIFF" || wav.substr(8, 4) != "WAVE") return facts;
  bool format = false;
  for (std::size_t at = 12; at + 8 <= wav.size();) {
    const std::string_view id = wav.substr(at, 4);
    const std::uint32_t size = ReadLittleEndian(wav, at + 4, 4);
    if (id == "fmt " && size >= 16 && at + 24 <= wav.size()) {
      format = ReadLittleEndian(wav, at + 8, 2) == 1 && ReadLittleEndian(wav, at + 22, 2) == 16;
      facts.Channels = ReadLittleEndian(wav, at + 10, 2);
      facts.Rate = ReadLittleEndian(wav, at + 12, 4);
    } else if (id == "data") {
      facts.Valid = format && facts.Channels > 0;
      facts.Frames = facts.Valid ? size / (2 * facts.Channels) : 0;
      facts.RiffEnd = std::int64_t{ReadLittleEndian(wav, 4, 4)} + 8;
      facts.DataEnd = static_cast<std::int64_t>(at + 8) + size;
      return facts;
    }
    at += 8 + size + size % 2;
  }
  return facts;
}

double WavRms(std::string_view wav) {
  // 16-bit samples, the data chunk last.
  const std::size_t data = wav.find("data");
  if (wav.substr(0, 4) != "RIFF" || data == std::string_view::npos || data + 10 > wav.size()) return std::nan("");
  double sum = 0;
  std::size_t count = 0;
  for (std::size_t at = data + 8; at + 1 < wav.size(); at += 2, ++count) {
    const auto bits = static_cast<std::uint16_t>(static_cast<std::uint8_t>(wav[at]) | static_cast<std::uint8_t>(wav[at + 1]) << 8);
    sum += std::pow(static_cast<std::int16_t>(bits) / 32768.0, 2);
  }
  return std::sqrt(sum / static_cast<double>(count));
}

}  // namespace quavert::testing
