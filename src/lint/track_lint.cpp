#include "lint/track_lint.h"

#include <array>
#include <optional>
#include <string>

#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "decoding/delta_time.h"
#include "decoding/event_scanner.h"
#include "decoding/meta_types.h"
#include "lint/report.h"

namespace quavert {
namespace {

constexpr std::uint8_t kSysexStart = 0xF0;
constexpr std::uint8_t kSysexEnd = 0xF7;
constexpr std::uint8_t kNoteOff = 0x80;
constexpr std::uint8_t kNoteOn = 0x90;
constexpr int kLargestSharpsOrFlats = 7;
constexpr int kMinor = 1;
// A variable-length number read to the most bytes the scanner takes (three or four) whose last
// byte still has its top bit set goes on past what is read. Shorter ones end by themselves; a
// one-byte meta length is taken whole.
constexpr std::int64_t kShortestCutNumber = 3;

// Indexed by the high nibble minus 8.
constexpr std::array<const char*, 7> kChannelNames = {
    "note off", "note on", "polyphonic pressure", "controller", "program change", "channel pressure", "pitch bend",
};

// The length a meta event of a fixed-size type must have.
struct MetaLength {
  int type;
  std::int64_t length;
  const char* name;
  bool longer_accepted;  // only a length below `length` is wrong
};

constexpr std::array<MetaLength, 7> kMetaLengths = {{
    {kMetaSequenceNumber, 2, "sequence number", false},  // a length of 0 is allowed too
    {kMetaChannelPrefix, 1, "channel prefix", true},
    {kMetaPort, 1, "MIDI port", false},
    {kMetaTempo, 3, "tempo", false},
    {kMetaSmpteOffset, 5, "SMPTE offset", false},
    {kMetaTimeSignature, 4, "time signature", false},
    {kMetaKeySignature, 2, "key signature", false},
}};

const MetaLength* FindMetaLength(int type) {
  for (const MetaLength& rule : kMetaLengths)
    if (rule.type == type) return &rule;
  return nullptr;
}

bool LengthIsWrong(const MetaLength& rule, std::int64_t length) {
  if (rule.type == kMetaSequenceNumber && length == 0) return false;
  return rule.longer_accepted ? length < rule.length : length != rule.length;
}

int DataByte(const std::string& data, std::size_t index) { return static_cast<std::uint8_t>(data[index]); }

enum class Step { kGoOn, kStop };

// Whether a key is on, and where it was switched on. A note on for a key already on starts it
// again; one note off ends it.
struct Sounding {
  bool on = false;
  std::int64_t since = 0;
};

class TrackLint {
 public:
  TrackLint(BinaryFile& file, int track, std::int64_t first, std::int64_t last, const ProblemSink& sink)
      : file_(file), track_(track), last_(last), sink_(sink), reader_(file, first, last),
        next_start_(first) {}

  void Run();

 private:
  void Error(std::int64_t position, const char* code, std::string message) {
    Report(sink_, Severity::kError, position, track_, code, std::move(message));
  }
  void Warning(std::int64_t position, const char* code, std::string message) {
    Report(sink_, Severity::kWarning, position, track_, code, std::move(message));
  }
  int Peek(std::int64_t position);
  std::optional<std::int64_t> EventEnd(std::int64_t start);
  bool NumberFits(std::int64_t first, std::int64_t last);
  bool Restart();
  Step OnChannel(const ScannedEvent& event);
  Step OnSysex(const ScannedEvent& event);
  Step OnMeta(const ScannedEvent& event);
  Step OnMetaValues(const ScannedEvent& event);
  Step SkipUnreadMeta(const ScannedEvent& event);
  Step OnStray(const ScannedEvent& event);
  void OnEndOfTrack(const ScannedEvent& event);
  void TrackNote(const ScannedEvent& event);

  BinaryFile& file_;
  int track_;
  std::int64_t last_;
  const ProblemSink& sink_;
  ByteReader reader_;
  std::optional<EventScanner> scanner_;
  // Where the event being read began: what a track that runs out names.
  std::int64_t next_start_;
  bool restarted_ = false;
  std::uint8_t running_status_ = 0;  // the status of the channel event before, 0 after any other
  std::array<std::array<Sounding, 128>, 16> notes_{};
  std::optional<std::int64_t> open_sysex_;  // an F0 message waiting for its F7
};

void TrackLint::Run() {
  try {
    if (!Restart()) return;
    for (ScannedEvent event; scanner_->Next(event);) {
      next_start_ = event.first;
      restarted_ = false;
      Step step = Step::kGoOn;
      switch (event.kind) {
        case ScannedKind::kChannel:
        case ScannedKind::kCutChannel: step = OnChannel(event); break;
        case ScannedKind::kSysex: step = OnSysex(event); break;
        case ScannedKind::kMeta: step = OnMeta(event); break;
        case ScannedKind::kStray: step = OnStray(event); break;
        case ScannedKind::kEndOfTrack: return OnEndOfTrack(event);
      }
      if (step == Step::kStop) return;
      if (!restarted_) next_start_ = event.delta.last + 1;
      running_status_ = event.kind == ScannedKind::kChannel ? event.status : 0;
    }
  } catch (const ReadPastLimit&) {
    // The track ran out: after its last whole event, or inside an event.
    if (next_start_ > last_ || EventEnd(next_start_) == last_)
      Error(last_ + 1, "missing-end-of-track", "the track ends without an end-of-track event (FF 2F 00)");
    else
      Error(next_start_, "event-overrun",
            "the event here runs past the end of the track (offset " + std::to_string(last_ - 1) + " is its last byte)");
  }
}

// The position of the last byte of the event at `start`, delta not counted; nothing when the
// event itself runs past the end of the track.
std::optional<std::int64_t> TrackLint::EventEnd(std::int64_t start) {
  ByteReader event(file_, start, last_);
  try {
    const std::uint8_t status = event.U8();
    if (status < 0x80) {
      if (running_status_ != 0) event.Skip(ChannelDataBytes(running_status_) - 1);
    } else if (status < 0xF0) {
      event.Skip(ChannelDataBytes(status));
    } else if (status == kSysexStart || status == kSysexEnd) {
      event.Skip(ReadDeltaTime(event));
    } else if (status == 0xFF) {
      const int type = event.U8();
      if (type != kMetaEndOfTrack && type != kMetaSequenceNumber) event.Skip(ReadDeltaTime(event));
    }
    return event.Position() - 1;
  } catch (const ReadPastLimit&) {
    return std::nullopt;
  }
}

int TrackLint::Peek(std::int64_t position) {
  ByteReader one(file_, position, position);
  return one.U8();
}

// A variable-length number at [first, last] that goes on past its last byte read is an error.
bool TrackLint::NumberFits(std::int64_t first, std::int64_t last) {
  if (last - first + 1 < kShortestCutNumber || (Peek(last) & 0x80) == 0) return true;
  Error(first, "vlq-too-long",
        "a variable-length number longer than " + std::to_string(last - first + 1) + " bytes");
  return false;
}

// A scanner from where the reader stands, as after a meta event: no running status, a delta first.
bool TrackLint::Restart() {
  scanner_.emplace(reader_);
  const DeltaTime& delta = scanner_->Start();
  restarted_ = true;
  next_start_ = delta.last + 1;
  return NumberFits(delta.first, delta.last);
}

Step TrackLint::OnChannel(const ScannedEvent& event) {
  const std::string name = kChannelNames[static_cast<std::size_t>((event.status >> 4) - 8)];
  if (event.kind == ScannedKind::kCutChannel) {
    Error(event.last + 1, "data-byte", name + " without its data: a status byte follows it");
    return Step::kStop;
  }
  const std::int64_t data1_at = event.running ? event.first : event.first + 1;
  if (event.problem != ScanProblem::kNone || event.data1 > 127) {
    Error(data1_at, "data-byte", name + ": data byte " + ByteText(event.data1) + " is not below 128");
    return Step::kStop;
  }
  if (event.data2 > 127) {
    Error(data1_at + 1, "data-byte", name + ": data byte " + ByteText(event.data2) + " is not below 128");
    return Step::kStop;
  }
  if (!NumberFits(event.delta.first, event.delta.last)) return Step::kStop;
  TrackNote(event);
  return Step::kGoOn;
}

void TrackLint::TrackNote(const ScannedEvent& event) {
  const int kind = event.status & 0xF0;
  if (kind != kNoteOn && kind != kNoteOff) return;
  Sounding& note = notes_[event.status & 0x0F][static_cast<std::size_t>(event.data1)];
  if (kind == kNoteOn && event.data2 > 0) {
    if (!note.on) note.since = event.first;
    note.on = true;
  } else {
    note.on = false;
  }
}

Step TrackLint::OnSysex(const ScannedEvent& event) {
  if (!NumberFits(event.first + 1, event.last - event.length)) return Step::kStop;
  if (!NumberFits(event.delta.first, event.delta.last)) return Step::kStop;
  const bool ends = event.length > 0 && Peek(event.last) == kSysexEnd;
  if (event.status == kSysexStart) {
    if (open_sysex_)
      Warning(*open_sysex_, "sysex-unterminated", "system-exclusive message without its closing F7");
    open_sysex_.reset();
    if (!ends) open_sysex_ = event.first;
  } else if (open_sysex_ && ends) {
    open_sysex_.reset();  // the last packet of a message sent in parts
  }
  return Step::kGoOn;
}

Step TrackLint::OnMeta(const ScannedEvent& event) {
  if (event.problem == ScanProblem::kInvalidMetaType) {
    Warning(event.first + 1, "unknown-meta", "meta event of unknown type " + ByteText(event.meta_type) + ", skipped");
    return SkipUnreadMeta(event);
  }
  // A sequence number whose length the scanner leaves unread.
  if (event.meta_type == kMetaSequenceNumber && event.length < 0) return SkipUnreadMeta(event);
  const std::int64_t length_at = event.first + 2;
  if (event.data_first > length_at && !NumberFits(length_at, event.data_first - 1)) return Step::kStop;
  if (const MetaLength* rule = FindMetaLength(event.meta_type); rule != nullptr && LengthIsWrong(*rule, event.length)) {
    Error(length_at, "meta-length",
          std::string(rule->name) + " of length " + std::to_string(event.length) + ", not " + std::to_string(rule->length));
    return Step::kStop;
  }
  if (OnMetaValues(event) == Step::kStop) return Step::kStop;
  if (event.problem != ScanProblem::kNone) {
    // Every problem the scanner finds is one of a length or of a value checked above.
    Error(event.first, "meta-length", "meta event of type " + ByteText(event.meta_type) + " the decoder cannot read");
    return Step::kStop;
  }
  return NumberFits(event.delta.first, event.delta.last) ? Step::kGoOn : Step::kStop;
}

Step TrackLint::OnMetaValues(const ScannedEvent& event) {
  const std::string& data = event.data;
  const std::int64_t at = event.data_first;
  if (event.meta_type == kMetaTempo && DataByte(data, 0) == 0 && DataByte(data, 1) == 0 && DataByte(data, 2) == 0) {
    Error(at, "tempo-zero", "tempo of 0 microseconds per quarter note");
    return Step::kStop;
  }
  if (event.meta_type == kMetaTimeSignature) {
    if (DataByte(data, 0) == 0) {
      Error(at, "time-signature", "time signature with numerator 0");
    } else if (DataByte(data, 1) > kLargestDenominatorPower) {
      Error(at + 1, "time-signature",
            "time signature with denominator 2 to the power " + std::to_string(DataByte(data, 1)) + ", more than " +
                std::to_string(kLargestDenominatorPower));
    } else if (DataByte(data, 2) == 0) {
      Error(at + 2, "time-signature", "time signature with 0 MIDI clocks per metronome click");
    } else {
      return Step::kGoOn;
    }
    return Step::kStop;
  }
  if (event.meta_type == kMetaKeySignature) {
    const int sf = static_cast<std::int8_t>(data[0]);
    if (sf > kLargestSharpsOrFlats || sf < -kLargestSharpsOrFlats) {
      Error(at, "key-signature",
            "key signature with " + std::to_string(sf < 0 ? -sf : sf) + (sf < 0 ? " flats" : " sharps"));
    } else if (DataByte(data, 1) > kMinor) {
      Error(at + 1, "key-signature", "key signature of mode " + std::to_string(DataByte(data, 1)) + ", not 0 or 1");
    } else {
      return Step::kGoOn;
    }
    return Step::kStop;
  }
  return Step::kGoOn;
}

// A meta event the scanner stopped at or left unread: its length and data are read here, and the
// track goes on after them with a scanner of its own.
Step TrackLint::SkipUnreadMeta(const ScannedEvent& event) {
  const std::int64_t length_at = reader_.Position();
  std::int64_t length = 0;
  if (event.meta_type == kMetaSequenceNumber) {
    length = reader_.U8();
    const MetaLength& rule = *FindMetaLength(kMetaSequenceNumber);
    if (LengthIsWrong(rule, length)) {
      Error(length_at, "meta-length", "sequence number of length " + std::to_string(length) + ", not 2");
      return Step::kStop;
    }
  } else {
    length = ReadDeltaTime(reader_);
    if (!NumberFits(length_at, reader_.Position() - 1)) return Step::kStop;
  }
  reader_.Skip(length);
  return Restart() ? Step::kGoOn : Step::kStop;
}

Step TrackLint::OnStray(const ScannedEvent& event) {
  if (event.status < 0x80)
    Error(event.first, "missing-status",
          "data byte " + ByteText(event.status) + " where a status byte belongs (no running status in force)");
  else
    Error(event.first, "system-common", "system message " + ByteText(event.status) + " inside a track");
  return Step::kStop;
}

void TrackLint::OnEndOfTrack(const ScannedEvent& event) {
  const std::int64_t length_at = event.last + 1;
  if (reader_.AtEnd()) {
    Error(length_at, "missing-end-of-track", "the end-of-track event lacks its length byte 0");
    return;
  }
  const int length = reader_.U8();
  if (length != 0) {
    Error(length_at, "meta-length", "end of track of length " + std::to_string(length) + ", not 0");
    return;
  }
  if (!reader_.AtEnd())
    Error(reader_.Position(), "data-after-end-of-track",
          std::to_string(last_ - reader_.Position() + 1) + " bytes after the end-of-track event");
  for (std::size_t channel = 0; channel < notes_.size(); ++channel)
    for (std::size_t key = 0; key < notes_[channel].size(); ++key)
      if (notes_[channel][key].on)
        Warning(notes_[channel][key].since, "hanging-note",
                "note " + std::to_string(key) + " on channel " + std::to_string(channel + 1) +
                    " is still on at the end of the track (offset " + std::to_string(event.first - 1) + ")");
  if (open_sysex_) Warning(*open_sysex_, "sysex-unterminated", "system-exclusive message without its closing F7");
}

}  // namespace

void LintTrackEvents(BinaryFile& file, int track, std::int64_t first, std::int64_t last, const ProblemSink& sink) {
  TrackLint(file, track, first, last, sink).Run();
}

}  // namespace quavert
