#include "midi_track.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace quavert::generate {
namespace {

void PutBigEndian(Bytes& out, std::uint32_t value, int size) {
  for (int shift = 8 * (size - 1); shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift & 0xFF));
}

char DataByte(int value) {
  if (value < 0 || value > 127) throw std::invalid_argument("a data byte must be 0..127");
  return static_cast<char>(value);
}

char StatusByte(int status) {
  if (status < kNoteOff || status > 0xEF) throw std::invalid_argument("not a channel message status");
  return static_cast<char>(status);
}

}  // namespace

Bytes Vlq(std::uint32_t value) {
  if (value > 0x0FFFFFFF) throw std::invalid_argument("too large for a variable-length quantity");
  Bytes out(1, static_cast<char>(value & 0x7F));
  for (value >>= 7; value > 0; value >>= 7) out.insert(out.begin(), static_cast<char>(0x80 | (value & 0x7F)));
  return out;
}

Bytes HeaderChunk(int format, int tracks, int division) {
  Bytes out = "MThd";
  PutBigEndian(out, 6, 4);
  PutBigEndian(out, static_cast<std::uint32_t>(format), 2);
  PutBigEndian(out, static_cast<std::uint32_t>(tracks), 2);
  PutBigEndian(out, static_cast<std::uint32_t>(division), 2);
  return out;
}

Bytes TrackChunk(const Bytes& data) {
  Bytes out = "MTrk";
  PutBigEndian(out, static_cast<std::uint32_t>(data.size()), 4);
  return out + data;
}

void Track::Add(Tick tick, std::string_view bytes) {
  if (pool_.size() + bytes.size() > UINT32_MAX) throw std::length_error("a track of more than 4 GB");
  events_.push_back({tick, static_cast<std::uint32_t>(pool_.size()), static_cast<std::uint32_t>(bytes.size())});
  pool_ += bytes;
  last_tick_ = std::max(last_tick_, tick);
}

void Track::Channel(Tick tick, int status, int data1) {
  const char bytes[] = {StatusByte(status), DataByte(data1)};
  Add(tick, {bytes, sizeof bytes});
  ++channel_events_;
}

void Track::Channel(Tick tick, int status, int data1, int data2) {
  const char bytes[] = {StatusByte(status), DataByte(data1), DataByte(data2)};
  Add(tick, {bytes, sizeof bytes});
  ++channel_events_;
}

void Track::NoteOn(Tick tick, int channel, int key, int velocity) {
  Channel(tick, kNoteOn | channel, key, velocity);
}

void Track::NoteOff(Tick tick, int channel, int key) { Channel(tick, kNoteOn | channel, key, 0); }

void Track::Program(Tick tick, int channel, int program) {
  Channel(tick, kProgramChange | channel, program);
}

void Track::Controller(Tick tick, int channel, int number, int value) {
  Channel(tick, kController | channel, number, value);
}

void Track::PitchBend(Tick tick, int channel, int value) {
  Channel(tick, kPitchBend | channel, value & 0x7F, value >> 7 & 0x7F);
}

void Track::Meta(Tick tick, int type, std::string_view data) {
  if (type != kMetaSequencer && data.size() > 127) throw std::invalid_argument("meta event longer than 127 bytes");
  Bytes bytes{static_cast<char>(kMeta), static_cast<char>(type)};
  bytes += Vlq(static_cast<std::uint32_t>(data.size()));
  bytes += data;
  Add(tick, bytes);
}

void Track::Tempo(Tick tick, int beats_per_minute) {
  if (beats_per_minute < 4 || beats_per_minute > 60000000) throw std::invalid_argument("tempo out of range");
  // Rounded down, so that reading the tempo back as whole beats per minute gives the same number.
  const auto microseconds = static_cast<std::uint32_t>(60000000 / beats_per_minute);
  Bytes data;
  PutBigEndian(data, microseconds, 3);
  Meta(tick, kMetaTempo, data);
}

void Track::TimeSignature(Tick tick, int numerator, int denominator) {
  int power = 0;
  while ((1 << power) < denominator) ++power;
  if ((1 << power) != denominator) throw std::invalid_argument("the denominator must be a power of two");
  // 24 clocks per metronome click (a quarter note; a dotted quarter in compound time), 8 32nds
  // per quarter.
  const int clocks = denominator == 8 && numerator % 3 == 0 ? 36 : 24;
  const char data[] = {static_cast<char>(numerator), static_cast<char>(power), static_cast<char>(clocks), 8};
  Meta(tick, kMetaTimeSignature, {data, sizeof data});
}

void Track::KeySignature(Tick tick, int sharps, bool minor) {
  const char data[] = {static_cast<char>(sharps), static_cast<char>(minor ? 1 : 0)};
  Meta(tick, kMetaKeySignature, {data, sizeof data});
}

void Track::Sysex(Tick tick, int lead, std::string_view data) {
  if (lead != kSysex && lead != kSysexPacket) throw std::invalid_argument("system exclusive starts with F0 or F7");
  Bytes bytes(1, static_cast<char>(lead));
  bytes += Vlq(static_cast<std::uint32_t>(data.size()));
  bytes += data;
  Add(tick, bytes);
}

Bytes Track::Encode(bool running_status) const {
  std::vector<TimedEvent> order = events_;
  std::stable_sort(order.begin(), order.end(), [](const TimedEvent& a, const TimedEvent& b) { return a.tick < b.tick; });

  Bytes out;
  out.reserve(pool_.size() + events_.size() + 4);
  Tick now = 0;
  int status = -1;  // the running status; -1 when none is in force
  for (const TimedEvent& event : order) {
    if (event.tick - now > 0x0FFFFFFF) throw std::length_error("a gap too long for a delta time");
    out += Vlq(static_cast<std::uint32_t>(event.tick - now));
    now = event.tick;
    const std::string_view bytes(pool_.data() + event.offset, event.size);
    const int lead = static_cast<unsigned char>(bytes[0]);
    if (lead >= kSysex) {
      status = -1;
      out += bytes;
    } else if (running_status && lead == status) {
      out += bytes.substr(1);
    } else {
      status = lead;
      out += bytes;
    }
  }
  out += Vlq(0);
  out += {static_cast<char>(kMeta), static_cast<char>(kMetaEndOfTrack), 0};
  return out;
}

}  // namespace quavert::generate
