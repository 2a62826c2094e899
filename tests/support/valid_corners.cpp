#include "support/valid_corners.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

namespace quavert::testing {
namespace {

const Bytes kEnd = Hex("FF 2F 00");

// `length` printable letters that name where they come from, so that no two texts are alike.
std::string Letters(int type, int length, char place) {
  std::string text = "t" + std::to_string(type) + place + std::to_string(length) + "-";
  for (int i = 0; static_cast<int>(text.size()) < length; ++i) text += static_cast<char>('a' + i % 26);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

Bytes Meta(int type, const Bytes& data) { return Hex("FF") + static_cast<char>(type) + Vlq(data.size()) + data; }

// Every text type with texts of each length, before the first note (delta 0, so the texts that
// could start the timed part do not) and again among the notes.
CornerFile TextsOfType(int type) {
  CornerFile file{"texts-" + std::to_string(type) + ".mid", {}, {}};
  Bytes data = Hex("00");
  for (int length : {0, 127, 128, 200, 16384}) {
    file.texts.push_back(Letters(type, length, 'b'));
    data += Meta(type, file.texts.back()) + Hex("00");
  }
  data += Hex("90 3C 64 10");
  for (int length : {0, 127, 128, 200, 16384}) {
    file.texts.push_back(Letters(type, length, 'i'));
    data += Meta(type, file.texts.back()) + Hex("05");
  }
  file.bytes = Smf(0, 96, {data + Hex("80 3C 00 00") + kEnd});
  return file;
}

// Delta times of three and four bytes in front of the first event, among the events and in
// front of the end of track.
CornerFile LongDeltas() {
  Bytes data = Vlq(2097152) + Hex("90 3C 64") + Vlq(0x0FFFFFFF) + Hex("80 3C 00") + Vlq(2097151) +
               Hex("FF 51 03 07 A1 20") + Vlq(2097152) + Hex("90 3E 64") + Vlq(268435455) + Hex("3E 00") +
               Vlq(16384) + Hex("FF 58 04 03 02 18 08") + Vlq(0x0FFFFFFF) + kEnd;
  return {"deltas.mid", Smf(1, 480, {data, Vlq(0x0FFFFFFF) + kEnd}), {}};
}

// System exclusive whole and in packets, and sequencer-specific data, of 300 bytes each.
CornerFile LongData() {
  const Bytes sysex = Hex("43 10") + Bytes(297, '\x11') + Hex("F7");
  const Bytes packet = Bytes(300, '\x22');
  const Bytes specific = Hex("00 00 41") + Bytes(297, '\x33');
  Bytes data = Hex("00 F0") + Vlq(300) + sysex + Hex("00") + Meta(0x7F, specific) + Hex("00 90 3C 64 00") +
               Hex("F0") + Vlq(300) + sysex + Hex("10 F7") + Vlq(300) + packet + Hex("10") + Meta(0x7F, specific) +
               Hex("10 80 3C 00 00") + kEnd;
  return {"data-300.mid", Smf(0, 96, {data}), {}};
}

// A track's data from its events, each with the delta time in front of it.
Bytes Events(std::initializer_list<std::pair<std::uint32_t, Bytes>> events) {
  Bytes data;
  for (const auto& [delta, event] : events) data += Vlq(delta) + event;
  return data;
}

// Every other meta event with a meaning, in a format 1 file with a conductor track, a track of
// every channel message (each with and without running status, notes ended by a note on of
// velocity 0 and by a note off) and an empty track.
CornerFile EveryEvent() {
  const Bytes conductor = Events({{0, Hex("FF 00 02 00 01")},  // sequence number 1
                                  {200, Meta(0x03, "Conductor")}, {0, Hex("FF 54 05 60 00 03 00 00")},
                                  {0, Hex("FF 51 03 07 A1 20")}, {0, Hex("FF 58 04 06 03 18 08")},
                                  {0, Hex("FF 59 02 FD 00")}, {0, Hex("FF 59 02 07 01")}, {0, Hex("FF 59 02 F9 00")},
                                  {0, Meta(0x02, "(c) nobody")}, {480, Hex("FF 51 03 09 27 C0")},
                                  {480, Hex("FF 58 04 02 02 18 08")}, {0, kEnd}});
  // Each channel message, then the same again under running status.
  const Bytes music = Events({{0, Hex("FF 20 01 00")}, {0, Hex("FF 21 01 00")}, {0, Meta(0x04, "Piano")},
                              {0, Hex("C0 00")}, {0, Hex("01")},
                              {0, Hex("B0 07 64")}, {0, Hex("0A 40")},
                              {0, Hex("D0 40")}, {0, Hex("20")},
                              {0, Hex("A0 3C 40")}, {0, Hex("3D 41")},
                              {0, Hex("E0 00 40")}, {0, Hex("7F 7F")},
                              {0, Hex("90 3C 64")}, {96, Hex("3C 00")}, {0, Hex("3E 64")},
                              {96, Hex("80 3E 40")}, {0, Hex("3E 00")},
                              {0, Hex("99 24 64")}, {48, Hex("26 64")}, {48, Hex("24 00")}, {0, Hex("26 00")},
                              {0, Meta(0x06, "end")}, {0, Meta(0x7F, Hex("7D 01"))}, {0, kEnd}});
  return {"every-event.mid", Smf(1, 480, {conductor, music, Hex("00") + kEnd}),
          {"Conductor", "(c) nobody", "Piano", "end"}};
}

CornerFile Format2() {
  return {"format-2.mid",
          Smf(2, 1, {Hex("00 90 3C 64 01 3C 00 00") + kEnd, Hex("00 FF 51 03 0F 42 40 00 91 40 7F 7F 40 00 00") + kEnd}),
          {}};
}

CornerFile LargestDivision() {
  return {"division-32767.mid", Smf(0, 32767, {Hex("00 90 3C 64 81 FF 7F 3C 00 00") + kEnd}), {}};
}

}  // namespace

std::vector<CornerFile> ValidCornerFiles() {
  std::vector<CornerFile> files;
  for (int type = 1; type <= 9; ++type) files.push_back(TextsOfType(type));
  files.push_back(LongDeltas());
  files.push_back(LongData());
  files.push_back(EveryEvent());
  files.push_back(Format2());
  files.push_back(LargestDivision());
  return files;
}

}  // namespace quavert::testing
