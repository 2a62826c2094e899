#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quavert::generate {

/// Bytes of a file or of part of one.
using Bytes = std::string;
/// An absolute time in ticks from the start of a track.
using Tick = std::uint64_t;

inline constexpr int kDivision = 480;  // ticks per quarter note of every file made here

// Status bytes and meta types written by the generators.
inline constexpr int kNoteOff = 0x80;
inline constexpr int kNoteOn = 0x90;
inline constexpr int kPolyPressure = 0xA0;
inline constexpr int kController = 0xB0;
inline constexpr int kProgramChange = 0xC0;
inline constexpr int kChannelPressure = 0xD0;
inline constexpr int kPitchBend = 0xE0;
inline constexpr int kSysex = 0xF0;
inline constexpr int kSysexPacket = 0xF7;
inline constexpr int kMeta = 0xFF;
inline constexpr int kMetaText = 0x01;
inline constexpr int kMetaCopyright = 0x02;
inline constexpr int kMetaTrackName = 0x03;
inline constexpr int kMetaInstrument = 0x04;
inline constexpr int kMetaLyric = 0x05;
inline constexpr int kMetaMarker = 0x06;
inline constexpr int kMetaChannelPrefix = 0x20;
inline constexpr int kMetaPort = 0x21;
inline constexpr int kMetaEndOfTrack = 0x2F;
inline constexpr int kMetaTempo = 0x51;
inline constexpr int kMetaTimeSignature = 0x58;
inline constexpr int kMetaKeySignature = 0x59;
inline constexpr int kMetaSequencer = 0x7F;

inline constexpr int kDrumChannel = 9;  // channel 10 counted from 1

/// A variable-length quantity in its shortest form (values up to 0x0FFFFFFF).
Bytes Vlq(std::uint32_t value);
/// A header chunk: "MThd", length 6, format, track count and division, big-endian.
Bytes HeaderChunk(int format, int tracks, int division);
/// A track chunk around `data`, its length field computed.
Bytes TrackChunk(const Bytes& data);

/// One track being put together: events are added at absolute times in any order, and Encode()
/// lays them out in time order (events at the same tick keep the order they were added in).
class Track {
 public:
  /// A channel message; `status` is the message's status byte, channel included.
  void Channel(Tick tick, int status, int data1);
  void Channel(Tick tick, int status, int data1, int data2);
  void NoteOn(Tick tick, int channel, int key, int velocity);
  /// A note on with velocity 0, as most sequencers end notes: it keeps running status.
  void NoteOff(Tick tick, int channel, int key);
  void Program(Tick tick, int channel, int program);
  void Controller(Tick tick, int channel, int number, int value);
  /// `value` 0..16383, 8192 the centre.
  void PitchBend(Tick tick, int channel, int value);

  /// A meta event; texts longer than 127 bytes are refused (std::invalid_argument) because the
  /// program reads the length of every meta event but the sequencer-specific one as one byte.
  void Meta(Tick tick, int type, std::string_view data);
  void Tempo(Tick tick, int beats_per_minute);
  void TimeSignature(Tick tick, int numerator, int denominator);
  /// `sharps` -7..7 (negative for flats).
  void KeySignature(Tick tick, int sharps, bool minor);
  /// A system-exclusive message: `lead` is F0 for a message or its first packet and F7 for a
  /// following packet; `data` follows the length as it stands (end it with F7 where it ends).
  void Sysex(Tick tick, int lead, std::string_view data);

  std::size_t ChannelEventCount() const { return channel_events_; }
  /// Tick of the latest event added (0 for an empty track).
  Tick LastTick() const { return last_tick_; }

  /// The track's data: each event after its delta time in shortest form, channel messages under
  /// running status when `running_status` (meta and system-exclusive events cancel it), and the
  /// end of track last.
  Bytes Encode(bool running_status = true) const;

 private:
  // The bytes of all events sit in one pool: a track may hold millions of events.
  struct TimedEvent {
    Tick tick;
    std::uint32_t offset;  // into pool_
    std::uint32_t size;
  };
  void Add(Tick tick, std::string_view bytes);

  std::vector<TimedEvent> events_;
  Bytes pool_;
  std::size_t channel_events_ = 0;
  Tick last_tick_ = 0;
};

}  // namespace quavert::generate
