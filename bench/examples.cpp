#include "examples.h"

#include <string>

#include "score.h"

namespace quavert::generate {
namespace {

constexpr int kFourFour = 8;   // eighths in a bar of 4/4
constexpr int kThreeFour = 6;  // eighths in a bar of 3/4 or 6/8
constexpr Tick kBar44 = kFourFour * kEighth;

// Program, volume, pan and reverb: how every part of an example begins.
void SetUp(Track& track, Tick tick, int channel, int program, int volume, int pan, int reverb) {
  track.Program(tick, channel, program);
  track.Controller(tick, channel, 7, volume);
  track.Controller(tick, channel, 10, pan);
  track.Controller(tick, channel, 91, reverb);
}

Bytes File(int format, const std::vector<Bytes>& tracks) {
  Bytes file = HeaderChunk(format, static_cast<int>(tracks.size()), kDivision);
  for (const Bytes& data : tracks) file += TrackChunk(data);
  return file;
}

// Eight bars in C major at 96 beats per minute: a tune over C, A minor, F and G, strings holding
// the chords, a bass and a rock beat. Track 1 carries the tempo, meter, key and markers.
Bytes Demo() {
  Track melody;
  melody.Meta(0, kMetaTrackName, "Melody");
  melody.Meta(0, kMetaText, "A short tune to try Quavert on");
  melody.Tempo(0, 96);
  melody.TimeSignature(0, 4, 4);
  melody.KeySignature(0, 0, false);
  melody.Meta(0, kMetaMarker, "Verse");
  SetUp(melody, 0, 0, 0, 110, 64, 50);
  Play(melody, 0, 0, kFourFour, 96,
       "E5:3 D5:1 C5:2 E5:2 | A5:4 G5:2 E5:2 | F5:3 E5:1 D5:2 C5:2 | D5:6 r:2 |"
       " E5:3 D5:1 C5:2 E5:2 | A5:2 C6:2 B5:2 A5:2 | G5:2 F5:2 E5:2 D5:2 | D5:2 B4:2 C5:4");
  // A gentle vibrato on the long D that closes the first half, then back to the centre.
  for (int step = 0; step < 8; ++step) {
    melody.PitchBend(3 * kBar44 + kDivision + static_cast<Tick>(step) * kDivision / 4, 0, step % 2 == 0 ? 8500 : 7884);
  }
  melody.PitchBend(3 * kBar44 + 3 * kDivision, 0, 8192);
  melody.Meta(4 * kBar44, kMetaMarker, "Reprise");

  Track strings;
  strings.Meta(0, kMetaTrackName, "Strings");
  SetUp(strings, 0, 1, 48, 80, 40, 70);
  for (int step = 0; step < 6; ++step) strings.Controller(static_cast<Tick>(step) * kDivision / 2, 1, 11, 50 + 10 * step);
  Play(strings, 1, 0, kFourFour, 64,
       "E4+G4+C5:8 | E4+A4+C5:8 | F4+A4+C5:8 | D4+G4+B4:8 |"
       " E4+G4+C5:8 | E4+A4+C5:8 | F4+A4+C5:8 | D4+G4+B4:4 E4+G4+C5:4");

  Track bass;
  bass.Meta(0, kMetaTrackName, "Bass");
  SetUp(bass, 0, 2, 33, 105, 70, 30);
  Play(bass, 2, 0, kFourFour, 100,
       "C3:3 C3:1 G3:2 C3:2 | A2:3 A2:1 E3:2 A2:2 | F2:3 F2:1 C3:2 F2:2 | G2:3 G2:1 D3:2 G2:2 |"
       " C3:3 C3:1 G3:2 C3:2 | A2:3 A2:1 E3:2 A2:2 | F2:3 F2:1 C3:2 F2:2 | G2:2 D3:2 C3:4");

  Track drums;
  drums.Meta(0, kMetaTrackName, "Drums");
  SetUp(drums, 0, kDrumChannel, 0, 95, 64, 40);
  Drum(drums, 0, kFourFour, 42, "xxxxxxxx|xxxxxxxx|xxxxxxxx|xxxx....|xxxxxxxx|xxxxxxxx|xxxxxxxx|xxxx....");
  Drum(drums, 0, kFourFour, 36, "X...x.x.|x...x.x.|x...x.x.|x...x...|X...x.x.|x...x.x.|x...x.x.|x...X...");
  Drum(drums, 0, kFourFour, 38, "..x...x.|..x...x.|..x...x.|..x.....|..x...x.|..x...x.|..x...x.|..x.....");
  Drum(drums, 0, kFourFour, 49, "X.......|........|........|........|X.......|........|........|....X...");
  Drum(drums, 0, kFourFour, 50, "........|........|........|....x...|........|........|........|........");
  Drum(drums, 0, kFourFour, 47, "........|........|........|.....x..|........|........|........|........");
  Drum(drums, 0, kFourFour, 45, "........|........|........|......xx|........|........|........|........");

  return File(1, {melody.Encode(), strings.Encode(), bass.Encode(), drums.Encode()});
}

// A waltz in A minor in one track (format 0): melody with lyrics, bass and accompaniment, every
// event with its own status byte.
Bytes Waltz() {
  Track track;
  track.Meta(0, kMetaTrackName, "Little Waltz");
  track.Meta(0, kMetaCopyright, "Made for Quavert, free to use");
  track.Tempo(0, 132);
  track.TimeSignature(0, 3, 4);
  track.KeySignature(0, 0, true);
  SetUp(track, 0, 0, 10, 100, 64, 60);
  SetUp(track, 0, 1, 21, 70, 44, 50);
  SetUp(track, 0, 2, 32, 100, 84, 40);
  Play(track, 0, 0, kThreeFour, 90,
       "A5:2 C6:1 B5:1 A5:2 | F5:2 E5:2 D5:2 | E5:2 G#5:2 B5:2 | A5:6 |"
       " C6:2 A5:1 G5:1 F5:2 | D6:2 F5:2 A5:2 | B5:2 G#5:2 E5:2 | A5:6",
       {"Round ", "and ", "round ", "we ", "go, ", "we ", "spin ", "a", "cross ", "the ", "floor, ",
        "light ", "as ", "a ", "fea", "ther, ", "we ", "fly ", "for", "ev", "er", "more."});
  Play(track, 1, 0, kThreeFour, 60,
       "r:2 E4+A4+C5:2 E4+A4+C5:2 | r:2 F4+A4+D5:2 F4+A4+D5:2 | r:2 E4+G#4+B4:2 E4+G#4+B4:2 | r:2 E4+A4+C5:2 E4+A4+C5:2 |"
       " r:2 F4+A4+C5:2 F4+A4+C5:2 | r:2 F4+A4+D5:2 F4+A4+D5:2 | r:2 E4+G#4+B4:2 E4+G#4+B4:2 | r:2 E4+A4+C5:4");
  Play(track, 2, 0, kThreeFour, 95,
       "A2:2 r:4 | D3:2 r:4 | E2:2 r:4 | A2:2 r:4 | F2:2 r:4 | D3:2 r:4 | E2:2 r:4 | A2:6");
  return File(0, {track.Encode(false)});
}

// A harp arpeggio over a wood-block pulse that speeds up from 72 to 160 beats per minute, turns
// to 3/4 and then 6/8, and slows down again: tempo and meter changes in the middle of a track.
Bytes Tempos() {
  struct Bar {
    int bpm;
    int numerator;
    int denominator;
    const char* figure;
  };
  static constexpr Bar kBars[] = {
      {72, 4, 4, "G4:1 B4:1 D5:1 G5:1 B5:1 G5:1 D5:1 B4:1"},  {84, 4, 4, "G4:1 B4:1 D5:1 G5:1 B5:1 G5:1 D5:1 B4:1"},
      {96, 4, 4, "C5:1 E5:1 G5:1 C6:1 E6:1 C6:1 G5:1 E5:1"},  {108, 4, 4, "C5:1 E5:1 G5:1 C6:1 E6:1 C6:1 G5:1 E5:1"},
      {120, 4, 4, "D5:1 F#5:1 A5:1 D6:1 F#6:1 D6:1 A5:1 F#5:1"}, {132, 4, 4, "D5:1 F#5:1 A5:1 D6:1 F#6:1 D6:1 A5:1 F#5:1"},
      {144, 4, 4, "G4:1 B4:1 D5:1 G5:1 B5:1 G5:1 D5:1 B4:1"}, {160, 4, 4, "G4:1 B4:1 D5:1 G5:1 B5:1 G5:1 D5:1 B4:1"},
      {144, 3, 4, "E5:1 G5:1 B5:1 E6:1 B5:1 G5:1"},           {120, 3, 4, "C5:1 E5:1 G5:1 C6:1 G5:1 E5:1"},
      {100, 6, 8, "D5:1 F#5:1 A5:1 D6:1 A5:1 F#5:1"},         {72, 6, 8, "G4:1 B4:1 D5:1 G5:3"},
  };
  Track harp;
  harp.Meta(0, kMetaTrackName, "Harp");
  harp.KeySignature(0, 1, false);
  // The opening tempo and meter come before the first channel event, as the file's first tempo.
  harp.Tempo(0, kBars[0].bpm);
  harp.TimeSignature(0, kBars[0].numerator, kBars[0].denominator);
  SetUp(harp, 0, 0, 46, 100, 64, 70);
  Track pulse;
  pulse.Meta(0, kMetaTrackName, "Pulse");
  SetUp(pulse, 0, kDrumChannel, 0, 90, 64, 20);

  Tick start = 0;
  const Bar* previous = &kBars[0];
  for (const Bar& bar : kBars) {
    const int eighths = bar.numerator * 8 / bar.denominator;
    if (bar.bpm != previous->bpm) harp.Tempo(start, bar.bpm);
    if (bar.numerator != previous->numerator || bar.denominator != previous->denominator) {
      harp.TimeSignature(start, bar.numerator, bar.denominator);
      harp.Meta(start, kMetaMarker, bar.denominator == 8 ? "Six-eight" : "Three-four");
    }
    previous = &bar;
    Play(harp, 0, start, eighths, 85, bar.figure);
    // A wood block on every beat, the high one on the first: quarters, or dotted quarters in 6/8.
    const int beat = bar.denominator == 8 ? 3 : 2;
    for (int slot = 0; slot < eighths; slot += beat) {
      const Tick tick = start + static_cast<Tick>(slot) * kEighth;
      const int key = slot == 0 ? 76 : 77;
      pulse.NoteOn(tick, kDrumChannel, key, slot == 0 ? 110 : 80);
      pulse.NoteOff(tick + kEighth / 2, kDrumChannel, key);
    }
    start += static_cast<Tick>(eighths) * kEighth;
  }
  return File(1, {harp.Encode(), pulse.Encode()});
}

// System exclusive in its forms (whole messages and a message in two packets) among the rarer
// events: every meta event the program shows, pressure of both kinds, registered parameters.
Bytes Sysex() {
  Track setup;
  setup.Meta(0, kMetaTrackName, "Setup");
  setup.Meta(0, kMetaCopyright, "Made for Quavert, free to use");
  setup.Meta(0, kMetaInstrument, "General MIDI module");
  setup.Meta(0, kMetaChannelPrefix, {"\x00", 1});
  setup.Meta(0, kMetaPort, {"\x00", 1});
  setup.Meta(0, 0x54, {"\x60\x00\x00\x00\x00", 5});  // SMPTE offset: 30 frames a second, 0:00:00
  setup.Tempo(0, 100);
  setup.TimeSignature(0, 4, 4);
  setup.KeySignature(0, -3, false);
  setup.Meta(0, kMetaSequencer, {"\x00\x00\x41", 3});
  setup.Sysex(0, kSysex, {"\x7E\x7F\x09\x01\xF7", 5});                          // general MIDI on
  setup.Sysex(kDivision, kSysex, {"\x41\x10\x42\x12\x40\x00\x7F\x00\x41\xF7", 10});  // GS reset
  setup.Sysex(2 * kDivision, kSysex, {"\x43\x10\x4C\x00", 4});                  // XG on, first packet
  setup.Sysex(2 * kDivision + 10, kSysexPacket, {"\x00\x7E\x00\xF7", 4});       // and the rest
  setup.Meta(3 * kDivision, kMetaText, "Modules ready");
  for (int step = 0; step < 4; ++step) {  // master volume fading out over the last bar
    const char volume = static_cast<char>(127 - 30 * step);
    setup.Sysex(4 * kBar44 + static_cast<Tick>(step) * kDivision, kSysex, std::string("\x7F\x7F\x04\x01\x00", 5) + std::string{volume, '\xF7'});
  }

  Track pad;
  pad.Meta(0, kMetaTrackName, "Pad");
  const Tick begin = kBar44;
  SetUp(pad, begin, 0, 89, 100, 64, 80);
  // Pitch bend range of 2 semitones through registered parameter 0.
  pad.Controller(begin, 0, 101, 0);
  pad.Controller(begin, 0, 100, 0);
  pad.Controller(begin, 0, 6, 2);
  pad.Controller(begin, 0, 38, 0);
  Play(pad, 0, begin, kFourFour, 80, "Eb4+G4+Bb4:8 | C4+Eb4+G4:8 | Ab3+C4+Eb4:4 Bb3+D4+F4:4 | Eb4+G4+Bb4:8");
  for (int step = 0; step < 8; ++step) {  // pressure swells on the first chord, then on its top note
    pad.Channel(begin + static_cast<Tick>(step) * kDivision / 2, kChannelPressure, 20 + 12 * step);
    pad.Channel(begin + kBar44 + static_cast<Tick>(step) * kDivision / 2, kPolyPressure, KeyOf("G4"), 90 - 10 * step);
  }
  pad.PitchBend(begin + 3 * kBar44, 0, 9000);
  pad.PitchBend(begin + 3 * kBar44 + kDivision, 0, 8192);
  return File(1, {setup.Encode(), pad.Encode()});
}

}  // namespace

std::vector<ExampleFile> ExampleFiles() {
  return {{"demo.mid", Demo()}, {"waltz.mid", Waltz()}, {"tempos.mid", Tempos()}, {"sysex.mid", Sysex()}};
}

}  // namespace quavert::generate
