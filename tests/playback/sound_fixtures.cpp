#include "sound_fixtures.h"

#include <cmath>
#include <cstdint>
#include <numbers>

#include "support/midi_bytes.h"

namespace quavert::testing {
namespace {

void PutLittleEndian(std::string& out, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}
std::string Word(std::uint32_t value) {
  std::string out;
  PutLittleEndian(out, value, 2);
  return out;
}
std::string Dword(std::uint32_t value) {
  std::string out;
  PutLittleEndian(out, value, 4);
  return out;
}
// A name field of `size` bytes, padded with NULs.
std::string Name(std::string_view name, std::size_t size) {
  std::string out(name);
  out.resize(size, '\0');
  return out;
}

std::string Chunk(std::string_view id, const std::string& body) {
  std::string out(id);
  PutLittleEndian(out, static_cast<std::uint32_t>(body.size()), 4);
  out += body;
  if (body.size() % 2 != 0) out.push_back('\0');
  return out;
}
std::string List(std::string_view type, const std::string& chunks) { return Chunk("LIST", std::string(type) + chunks); }

// Generator operators of the SoundFont format.
constexpr std::uint32_t kInstrument = 41;
constexpr std::uint32_t kSampleId = 53;
constexpr std::uint32_t kSampleModes = 54;
constexpr std::uint32_t kLoopContinuously = 1;

constexpr std::uint32_t kSampleRate = 44100;
constexpr std::uint32_t kPeriod = 168;   // samples of one sine period: 262.5 Hz, about middle C
constexpr std::uint32_t kGuard = 46;     // zero samples the format wants after every sample
constexpr std::uint32_t kMiddleC = 60;
constexpr std::uint32_t kMonoSample = 1;
constexpr std::uint32_t kDrumBank = 128;

std::string Samples() {
  std::string out;
  for (std::uint32_t i = 0; i < kPeriod; ++i) {
    const double value = 30000.0 * std::sin(2 * std::numbers::pi * i / kPeriod);
    PutLittleEndian(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(std::lround(value))), 2);
  }
  out.append(2 * kGuard, '\0');
  return out;
}

std::string PresetData() {
  // The same sine as the first melodic preset and as the drum kit, so that no channel is mute.
  const std::string phdr = Name("Sine", 20) + Word(0) + Word(0) + Word(0) + Dword(0) + Dword(0) + Dword(0) +
                           Name("Sine drums", 20) + Word(0) + Word(kDrumBank) + Word(1) + Dword(0) + Dword(0) +
                           Dword(0) + Name("EOP", 20) + Word(0) + Word(0) + Word(2) + Dword(0) + Dword(0) + Dword(0);
  const std::string pbag = Word(0) + Word(0) + Word(1) + Word(0) + Word(2) + Word(0);
  const std::string pmod(10, '\0');
  const std::string pgen = Word(kInstrument) + Word(0) + Word(kInstrument) + Word(0) + Word(0) + Word(0);
  const std::string inst = Name("Sine", 20) + Word(0) + Name("EOI", 20) + Word(1);
  const std::string ibag = Word(0) + Word(0) + Word(2) + Word(0);
  const std::string imod(10, '\0');
  const std::string igen = Word(kSampleModes) + Word(kLoopContinuously) + Word(kSampleId) + Word(0) + Word(0) + Word(0);
  const std::string shdr = Name("Sine", 20) + Dword(0) + Dword(kPeriod) + Dword(0) + Dword(kPeriod) +
                           Dword(kSampleRate) + std::string(1, static_cast<char>(kMiddleC)) + std::string(1, '\0') +
                           Word(0) + Word(kMonoSample) + Name("EOS", 46);
  return Chunk("phdr", phdr) + Chunk("pbag", pbag) + Chunk("pmod", pmod) + Chunk("pgen", pgen) + Chunk("inst", inst) +
         Chunk("ibag", ibag) + Chunk("imod", imod) + Chunk("igen", igen) + Chunk("shdr", shdr);
}

std::uint32_t LittleEndian(std::string_view bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = value << 8 | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}

}  // namespace

std::string SineSoundFont() {
  const std::string info = Chunk("ifil", Word(2) + Word(1)) + Chunk("isng", Name("EMU8000", 8)) +
                           Chunk("INAM", Name("Quavert test sine", 18));
  const std::string body = "sfbk" + List("INFO", info) + List("sdta", Chunk("smpl", Samples())) +
                           List("pdta", PresetData());
  return Chunk("RIFF", body);
}

double WavRms(std::string_view wav) {
  constexpr std::size_t kRiffHeader = 12;
  if (wav.size() < kRiffHeader || wav.substr(0, 4) != "RIFF" || wav.substr(8, 4) != "WAVE") return -1;
  bool pcm16 = false;
  for (std::size_t at = kRiffHeader; at + 8 <= wav.size();) {
    const std::string_view id = wav.substr(at, 4);
    const std::size_t size = LittleEndian(wav, at + 4, 4);
    const std::size_t body = at + 8;
    if (id == "fmt " && size >= 16 && body + 16 <= wav.size())
      pcm16 = LittleEndian(wav, body, 2) == 1 && LittleEndian(wav, body + 14, 2) == 16;
    if (id == "data") {
      if (!pcm16) return -1;
      const std::size_t end = std::min(wav.size(), body + size);
      double sum = 0;
      std::size_t count = 0;
      for (std::size_t i = body; i + 1 < end; i += 2, ++count) {
        const auto sample = static_cast<std::int16_t>(LittleEndian(wav, i, 2));
        sum += (sample / 32768.0) * (sample / 32768.0);
      }
      return count == 0 ? 0 : std::sqrt(sum / static_cast<double>(count));
    }
    at = body + size + size % 2;
  }
  return -1;
}

std::string NoteSequence(int notes, int ticks_each) {
  Bytes track;
  for (int i = 0; i < notes; ++i) {
    const char key = static_cast<char>(60 + 2 * (i % 6));
    track += Hex("00 90") + key + Hex("64");
    track += Vlq(static_cast<std::uint32_t>(ticks_each)) + Hex("80") + key + Hex("00");
  }
  track += Hex("00 FF 2F 00");
  return Smf(0, 480, {track});
}

}  // namespace quavert::testing
