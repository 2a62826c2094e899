#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quavert {

class ByteReader;

/// A delta time as it stands in the track: its value and the positions of its bytes.
struct DeltaTime {
  std::int32_t value = -1;  ///< ticks; -1 when the event is followed by no delta
  std::int64_t first = 0;   ///< 1-based position of its first byte
  std::int64_t last = -1;   ///< position of its last byte; first - 1 when there is none
  bool operator==(const DeltaTime&) const = default;
};

/// How the bytes of one scanned event were taken.
enum class ScannedKind {
  kChannel,     ///< a channel message: status (own or running), its data bytes, its delta
  kCutChannel,  ///< a controller or polyphonic-pressure status byte whose first data byte was
                ///< 128 or more: that byte starts the next event; nothing else, no delta
  kSysex,       ///< F0 or F7, a variable-length length, that many bytes (skipped), its delta
  kMeta,        ///< FF, the type, then what the type reads (see EventScanner), its delta;
                ///< a sequence number not followed by a length of 0 or 2, that many bytes, a
                ///< delta and a status byte reads nothing more and has no delta
  kEndOfTrack,  ///< FF 2F; the byte after it is not read
  kStray,       ///< one byte that starts no event (0..127 outside a channel branch, F1..F6,
                ///< F8..FE): skipped, no delta
};

/// Why the decode cannot go past an event. Nothing after such an event is read.
enum class ScanProblem {
  kNone,
  kInvalidInstrument,     ///< the first program change of a branch with a data byte above 127
  kInvalidMetaType,       ///< a meta type that is none of 0..9, 20, 21, 2F, 51, 54, 58, 59, 7F hex
  kInvalidChannelPrefix,  ///< channel prefix of length 0
  kInvalidTempo,          ///< tempo shorter than 3 data bytes, or of value 0
  kInvalidTimeSignature,  ///< shorter than 4 data bytes, numerator 0, or a dd of 15 or more
  kInvalidKeySignature,   ///< key signature shorter than 2 data bytes
};

/// One event as the decoder splits a track into events. Positions are 1-based file positions;
/// [first, last] holds every byte of the event except the delta that follows it.
struct ScannedEvent {
  ScannedKind kind = ScannedKind::kStray;
  /// The status byte: the event's own, or for a running event the status of its branch;
  /// FF for meta events and the end of track; the byte itself for a stray byte.
  std::uint8_t status = 0;
  /// A channel event without a status byte of its own (running status): `first` is then the
  /// position of its first data byte.
  bool running = false;
  int data1 = -1;  ///< channel data bytes exactly as read, 0..255; -1 when the event has none
  int data2 = -1;
  int meta_type = -1;  ///< kMeta and kEndOfTrack: the type byte
  /// kMeta: the length as read (its variable-length value; the length byte of the port and
  /// SMPTE events, whose data count is fixed); kSysex: its variable-length length. -1 when none
  /// was read.
  std::int64_t length = -1;
  /// Position of the first data byte of a meta event, just after its length (also when the
  /// event stopped before its data was read).
  std::int64_t data_first = -1;
  std::string data;  ///< kMeta: the data bytes read (system-exclusive data is not kept)
  std::int64_t first = 0;
  std::int64_t last = -1;
  DeltaTime delta;   ///< the delta time read after the event
  ScanProblem problem = ScanProblem::kNone;
};

/// Splits the bytes of a track into events, one at a time, strictly in order, exactly as the
/// track decoder takes them: running status (a data byte where a status is expected goes on
/// with the branch's status after a channel event, and is a stray byte anywhere else), delta
/// times and lengths of at most four bytes, meta events read by their type (text types 1..9,
/// channel prefix, tempo, time and key signature, sequencer-specific: a variable-length length
/// and that many bytes; MIDI port: exactly two bytes; SMPTE offset: exactly six; sequence
/// number: its length, data and delta when they stand as the format writes them, else nothing),
/// and the end of track.
/// Every read goes through the ByteReader, so running out of its range throws ReadPastLimit.
class EventScanner {
 public:
  explicit EventScanner(ByteReader& reader) : reader_(reader) {}

  /// Reads the delta time in front of the first event. Next() reads it first when not yet read.
  const DeltaTime& Start();
  const DeltaTime& LeadingDelta() const { return leading_delta_; }

  /// The next event; nothing once the end of track or an event with a problem was returned.
  std::optional<ScannedEvent> Next();
  /// The same into `event`, whose memory is reused from event to event; false instead of nothing.
  bool Next(ScannedEvent& event);

  bool Finished() const { return finished_; }

 private:
  void ScanChannel(ScannedEvent& event, std::uint8_t status, std::int64_t first,
                   std::optional<std::uint8_t> running_data1);
  void ScanSysex(ScannedEvent& event, std::uint8_t status, std::int64_t first);
  void ScanMeta(ScannedEvent& event, std::int64_t first);
  DeltaTime ReadDelta();
  void ReadData(ScannedEvent& event, std::int64_t count);
  /// Ends the event before its delta: with a problem, nothing more is scanned.
  void Fail(ScannedEvent& event, ScanProblem problem);

  ByteReader& reader_;
  DeltaTime leading_delta_;
  bool started_ = false;
  bool finished_ = false;
  std::uint8_t branch_status_ = 0;       // status of the channel branch going on; 0 outside one
  std::optional<std::uint8_t> pending_;  // a byte already read that starts the next event
  std::int64_t pending_position_ = 0;
};

/// How many data bytes follow a channel message's status (0x80..0xEF): 1 for program change and
/// channel pressure, 2 for the others.
int ChannelDataBytes(std::uint8_t status);

}  // namespace quavert
