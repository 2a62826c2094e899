#include "bench_files.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <stdexcept>
#include <string>
#include <vector>

#include "xorshift.h"

namespace quavert::generate {
namespace {

constexpr std::uint32_t kBar = 4 * kDivision;  // the songs stay in 4/4
constexpr int kSongTempo = 120;

// Every voice follows the same chords, one a bar, so that even a long file sounds like music:
// C, A minor, F, G, as pitch classes.
constexpr std::array<std::array<int, 3>, 4> kProgression = {{{0, 4, 7}, {9, 0, 4}, {5, 9, 0}, {7, 11, 2}}};
constexpr std::array<int, 7> kScale = {0, 2, 4, 5, 7, 9, 11};

enum class Role { kLead, kChords, kBass, kDrums };

struct Voice {
  Role role;
  int program;
  int pan;
  const char* name;
};

// Channel k of a multi-track file plays voice k; the single-track file plays channels 1, 2, 3, 10.
constexpr std::array<Voice, 16> kVoices = {{
    {Role::kLead, 0, 64, "Piano"},          {Role::kChords, 48, 40, "Strings"},
    {Role::kBass, 33, 64, "Bass"},          {Role::kLead, 73, 80, "Flute"},
    {Role::kChords, 24, 50, "Guitar"},      {Role::kLead, 56, 90, "Trumpet"},
    {Role::kChords, 19, 30, "Organ"},       {Role::kLead, 65, 70, "Alto Sax"},
    {Role::kChords, 88, 20, "Pad"},         {Role::kDrums, 0, 64, "Drums"},
    {Role::kLead, 11, 100, "Vibraphone"},   {Role::kBass, 32, 60, "Upright Bass"},
    {Role::kChords, 4, 45, "Electric Piano"}, {Role::kLead, 71, 85, "Clarinet"},
    {Role::kChords, 60, 35, "Horn"},        {Role::kLead, 40, 95, "Violin"},
}};
constexpr std::array<int, 4> kSingleTrackChannels = {0, 1, 2, kDrumChannel};

const std::array<int, 3>& ChordAt(Tick tick) { return kProgression[tick / kBar % kProgression.size()]; }

/// How many channel events a voice may still write.
class Budget {
 public:
  explicit Budget(std::int64_t events) : left_(events) {}
  std::int64_t Left() const { return left_; }
  bool Take(std::int64_t count) {
    if (left_ < count) return false;
    left_ -= count;
    return true;
  }

 private:
  std::int64_t left_;
};

/// Writes one voice of a song on `channel`: its set-up, then notes mixed with controllers and
/// pitch bends, exactly `events` channel events in all.
class VoiceWriter {
 public:
  VoiceWriter(Track& track, int channel, std::int64_t events, std::uint64_t seed)
      : track_(track), channel_(channel), voice_(kVoices[static_cast<std::size_t>(channel)]), budget_(events), random_(seed) {}

  void Write() {
    if (budget_.Take(1)) track_.Program(0, channel_, voice_.program);
    if (budget_.Take(1)) track_.Controller(0, channel_, 7, 100);
    if (budget_.Take(1)) track_.Controller(0, channel_, 10, voice_.pan);
    if (budget_.Take(1)) track_.Controller(0, channel_, 91, 40);
    while (budget_.Left() > 0) {
      const int roll = random_.Between(0, 99);
      if (budget_.Left() >= 2 && roll < 86) {
        Notes();
      } else if (roll < 94 || voice_.role == Role::kDrums || budget_.Left() == 1) {
        Controller();
      } else {
        Bend();
      }
    }
  }

 private:
  void Notes() {
    switch (voice_.role) {
      case Role::kLead: return Lead();
      case Role::kChords: return Chords();
      case Role::kBass: return Bass();
      case Role::kDrums: return Drums();
    }
  }

  void Note(Tick start, std::uint32_t length, int key, int velocity) {
    track_.NoteOn(start, channel_, key, velocity);
    track_.NoteOff(start + length, channel_, key);
  }

  // A melody wandering up and down the scale between C5 and C7, now and then after a rest.
  void Lead() {
    static constexpr std::array<std::uint32_t, 5> kLengths = {kDivision / 4, kDivision / 2, kDivision / 2, kDivision, kDivision * 3 / 2};
    budget_.Take(2);
    if (random_.Chance(10)) now_ += kDivision / 2;
    degree_ = std::clamp(degree_ + random_.Between(-2, 2), 0, 14);
    const int key = 60 + 12 * (degree_ / 7) + kScale[static_cast<std::size_t>(degree_ % 7)];
    const std::uint32_t length = kLengths[random_.Below(kLengths.size())];
    Note(now_, length, key, random_.Between(70, 105));
    now_ += length;
  }

  // The bar's chord, held for a half or a whole bar, three notes when the budget allows.
  void Chords() {
    const std::uint32_t length = random_.Chance(50) ? kBar : kBar / 2;
    const std::array<int, 3>& chord = ChordAt(now_);
    const int velocity = random_.Between(55, 75);
    for (int pitch : chord) {
      if (!budget_.Take(2)) break;
      Note(now_, length, 48 + (pitch < 4 ? pitch + 12 : pitch), velocity);
    }
    now_ += length;
  }

  // The chord's root, or now and then its fifth, in the bass octave.
  void Bass() {
    static constexpr std::array<std::uint32_t, 4> kLengths = {kDivision / 2, kDivision, kDivision, kDivision * 2};
    budget_.Take(2);
    const std::array<int, 3>& chord = ChordAt(now_);
    const int pitch = random_.Chance(75) ? chord[0] : chord[2];
    const std::uint32_t length = kLengths[random_.Below(kLengths.size())];
    Note(now_, length, 36 + pitch, random_.Between(80, 110));
    now_ += length;
  }

  // A rock beat on eighth notes: hi-hat always, kick on one and three, snare on two and four,
  // a crash every fourth bar and a tom fill closing every eighth.
  void Drums() {
    const std::uint32_t eighth = kDivision / 2;
    const auto slot = static_cast<std::size_t>(now_ % kBar / eighth);
    const Tick bar = now_ / kBar;
    std::vector<int> keys;
    if (bar % 8 == 7 && slot >= 4) {
      static constexpr std::array<int, 4> kFill = {50, 48, 47, 45};
      keys.push_back(kFill[slot - 4]);
    } else {
      keys.push_back(random_.Chance(10) ? 46 : 42);
      if (slot == 0 || slot == 4 || (slot == 5 && random_.Chance(30))) keys.push_back(36);
      if (slot == 2 || slot == 6) keys.push_back(38);
      if (slot == 0 && bar % 4 == 0) keys.push_back(49);
    }
    for (int key : keys) {
      if (!budget_.Take(2)) break;
      Note(now_, eighth / 2, key, random_.Between(slot % 2 == 0 ? 90 : 60, slot % 2 == 0 ? 120 : 85));
    }
    now_ += eighth;
  }

  void Controller() {
    budget_.Take(1);
    switch (voice_.role) {
      case Role::kLead:
        track_.Controller(now_, channel_, random_.Chance(50) ? 1 : 11, random_.Between(0, 127));
        break;
      case Role::kChords:
        sustain_ = !sustain_;
        track_.Controller(now_, channel_, 64, sustain_ ? 127 : 0);
        break;
      case Role::kBass:
        track_.Controller(now_, channel_, 11, random_.Between(90, 127));
        break;
      case Role::kDrums:
        track_.Controller(now_, channel_, 7, random_.Between(90, 110));
        break;
    }
  }

  // A short bend up and back to the centre, a few ticks apart.
  void Bend() {
    const int steps = static_cast<int>(std::min<std::int64_t>(budget_.Left(), random_.Between(3, 6)));
    budget_.Take(steps);
    const int depth = random_.Between(200, 1500);
    for (int step = 0; step < steps; ++step) {
      const int value = step == steps - 1 ? 8192 : 8192 + depth * (step + 1) / steps;
      track_.PitchBend(now_ + static_cast<Tick>(step) * 30, channel_, value);
    }
  }

  Track& track_;
  int channel_;
  const Voice& voice_;
  Budget budget_;
  XorShift random_;
  Tick now_ = 0;
  int degree_ = 7;
  bool sustain_ = false;
};

// A general MIDI system-on message, and a master volume message for the value 0..127.
constexpr std::string_view kGeneralMidiOn{"\x7E\x7F\x09\x01\xF7", 5};
Bytes MasterVolume(int volume) { return {0x7F, 0x7F, 0x04, 0x01, 0x00, static_cast<char>(volume), static_cast<char>(0xF7)}; }

/// Events per part when `events` are shared as evenly as they go, the first parts taking one more.
std::int64_t Share(std::int64_t events, int parts, int part) {
  return events / parts + (part < events % parts ? 1 : 0);
}

Bytes SongTrack(const FileOptions& options, int index) {
  Track track;
  const bool single = options.tracks == 1;
  const int channel = index % 16;
  track.Meta(0, kMetaTrackName, single ? std::string("Song") : std::string(kVoices[static_cast<std::size_t>(channel)].name) + " " + std::to_string(index + 1));
  if (index == 0) {
    track.Tempo(0, kSongTempo);
    track.TimeSignature(0, 4, 4);
    track.KeySignature(0, 0, false);
    track.Sysex(0, kSysex, kGeneralMidiOn);
  }
  const std::int64_t events = Share(options.events, options.tracks, index);
  if (single) {
    const int voices = static_cast<int>(kSingleTrackChannels.size());
    for (int voice = 0; voice < voices; ++voice) {
      VoiceWriter(track, kSingleTrackChannels[static_cast<std::size_t>(voice)], Share(events, voices, voice), MixSeed(options.seed, static_cast<std::uint64_t>(voice))).Write();
    }
  } else {
    VoiceWriter(track, channel, events, MixSeed(options.seed, static_cast<std::uint64_t>(index))).Write();
  }
  if (index == 0) {
    // The master volume breathes every sixteen bars.
    int step = 0;
    for (Tick tick = 16 * kBar; tick < track.LastTick(); tick += 16 * kBar) {
      track.Sysex(tick, kSysex, MasterVolume(++step % 2 == 0 ? 127 : 110));
    }
  }
  return track.Encode();
}

Bytes DrumsTrack(const FileOptions& options) {
  constexpr int kLowest = 27, kHighest = 88;  // the drum keys that have names
  constexpr std::uint32_t kStep = kDivision / 4;
  XorShift random(options.seed);
  Track track;
  track.Meta(0, kMetaTrackName, "Drums");
  track.Tempo(0, kSongTempo);
  // Every key once in a shuffled order first, then any key but the two before it, so that no
  // event has the key of its neighbour: on k0, on k1, off k0, on k2, off k1, ...
  std::vector<int> keys(kHighest - kLowest + 1);
  std::iota(keys.begin(), keys.end(), kLowest);
  for (std::size_t i = keys.size() - 1; i > 0; --i) std::swap(keys[i], keys[random.Below(static_cast<std::uint32_t>(i + 1))]);
  const std::int64_t hits = (options.events + 1) / 2;
  while (static_cast<std::int64_t>(keys.size()) < hits) {
    int key;
    do key = random.Between(kLowest, kHighest);
    while (key == keys[keys.size() - 1] || key == keys[keys.size() - 2]);
    keys.push_back(key);
  }
  for (std::int64_t hit = 0; hit < hits; ++hit) {
    const auto tick = static_cast<Tick>(hit) * kStep;
    track.NoteOn(tick, kDrumChannel, keys[static_cast<std::size_t>(hit)], random.Between(60, 120));
    if (hit > 0) track.NoteOff(tick, kDrumChannel, keys[static_cast<std::size_t>(hit - 1)]);
  }
  if (hits > 0 && options.events % 2 == 0) {
    track.NoteOff(static_cast<Tick>(hits) * kStep, kDrumChannel, keys[static_cast<std::size_t>(hits - 1)]);
  }
  return track.Encode();
}

Bytes ProgramsTrack(const FileOptions& options) {
  XorShift random(options.seed);
  Track track;
  track.Meta(0, kMetaTrackName, "Programs");
  track.Tempo(0, kSongTempo);
  // Every program once in a shuffled order first, then any program but the one before, on a
  // channel that changes now and then (never channel 10, where programs choose drum kits).
  std::vector<int> programs(128);
  std::iota(programs.begin(), programs.end(), 0);
  for (std::size_t i = programs.size() - 1; i > 0; --i) std::swap(programs[i], programs[random.Below(static_cast<std::uint32_t>(i + 1))]);
  int channel = 0;
  int program = -1;
  for (std::int64_t event = 0; event < options.events; ++event) {
    if (event < static_cast<std::int64_t>(programs.size())) {
      program = programs[static_cast<std::size_t>(event)];
    } else {
      const int previous = program;
      do program = random.Between(0, 127);
      while (program == previous);
    }
    if (random.Chance(25)) {
      channel = random.Between(0, 14);
      if (channel >= kDrumChannel) ++channel;
    }
    track.Program(static_cast<Tick>(event) * (kDivision / 8), channel, program);
  }
  return track.Encode();
}

}  // namespace

std::optional<FileOptions> Preset(std::string_view name) {
  if (name == "single") return FileOptions{Style::kSong, 1, 16'000, 1};
  if (name == "medium") return FileOptions{Style::kSong, 16, 1'000'000, 1};
  if (name == "large") return FileOptions{Style::kSong, 16, 6'400'000, 1};
  if (name == "drums") return FileOptions{Style::kDrums, 1, 16'000, 1};
  if (name == "programs") return FileOptions{Style::kPrograms, 1, 16'000, 1};
  return std::nullopt;
}

Bytes MakeFile(const FileOptions& options) {
  if (options.tracks < 1 || options.tracks > kMaxTracks) throw std::invalid_argument("the track count must be 1.." + std::to_string(kMaxTracks));
  if (options.events < 0 || options.events > kMaxEvents) throw std::invalid_argument("the event count must be 0.." + std::to_string(kMaxEvents));
  if (options.style != Style::kSong && options.tracks != 1) throw std::invalid_argument("drum and program files have one track");

  Bytes file = HeaderChunk(options.tracks == 1 ? 0 : 1, options.tracks, kDivision);
  switch (options.style) {
    case Style::kSong:
      for (int index = 0; index < options.tracks; ++index) file += TrackChunk(SongTrack(options, index));
      break;
    case Style::kDrums:
      file += TrackChunk(DrumsTrack(options));
      break;
    case Style::kPrograms:
      file += TrackChunk(ProgramsTrack(options));
      break;
  }
  return file;
}

}  // namespace quavert::generate
