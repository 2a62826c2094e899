#include "decoding/event_scanner.h"

#include <array>

#include "common/byte_reader.h"
#include "decoding/delta_time.h"
#include "decoding/meta_types.h"

namespace quavert {
namespace {

constexpr std::uint8_t kMetaStatus = 0xFF;
constexpr std::uint8_t kSysexStatus = 0xF0;
constexpr std::uint8_t kSysexEscape = 0xF7;
constexpr std::uint8_t kProgramChange = 0xC0;

// How many data bytes a channel message of each status group takes, and whether a status byte
// in the place of its first data byte ends it (controllers and polyphonic pressure only).
struct ChannelShape {
  int data_bytes;
  bool cut_by_status;
};

// Indexed by the high nibble minus 8: 8x note off .. Ex pitch bend.
constexpr std::array<ChannelShape, 7> kChannelShapes = {{
    {2, false},  // 8x note off
    {2, false},  // 9x note on
    {2, true},   // Ax polyphonic pressure
    {2, true},   // Bx controller
    {1, false},  // Cx program change
    {1, false},  // Dx channel pressure
    {2, false},  // Ex pitch bend
}};

bool IsChannelStatus(std::uint8_t byte) { return byte >= 0x80 && byte <= 0xEF; }

const ChannelShape& ShapeOf(std::uint8_t status) { return kChannelShapes[(status >> 4) - 8]; }

// How the bytes after a meta type are taken.
enum class MetaRead {
  kSequenceNumber,  // type 0: read whole only when it stands as the format writes it (see
                    // IsWholeSequenceNumber); otherwise nothing more, and the following bytes go
                    // through the stray-byte rule
  kLengthAndData,   // a variable-length length and that many bytes
  kFixed,           // a fixed count of bytes, the first of them the (unused) length byte
  kEnd,             // end of track: nothing is read
};

struct MetaShape {
  MetaRead read;
  int count;            // kLengthAndData: fewest data bytes accepted; kFixed: bytes read
  ScanProblem problem;  // what a length below `count` is
};

std::optional<MetaShape> MetaShapeOf(int type) {
  switch (type) {
    case kMetaSequenceNumber: return MetaShape{MetaRead::kSequenceNumber, 0, ScanProblem::kNone};
    case kMetaText:
    case kMetaCopyright:
    case kMetaTrackName:
    case kMetaInstrument:
    case kMetaLyric:
    case kMetaMarker:
    case kMetaCuePoint:
    case kMetaProgramName:
    case kMetaDeviceName:
    case kMetaSequencerSpecific: return MetaShape{MetaRead::kLengthAndData, 0, ScanProblem::kNone};
    case kMetaChannelPrefix: return MetaShape{MetaRead::kLengthAndData, 1, ScanProblem::kInvalidChannelPrefix};
    case kMetaPort: return MetaShape{MetaRead::kFixed, 2, ScanProblem::kNone};
    case kMetaEndOfTrack: return MetaShape{MetaRead::kEnd, 0, ScanProblem::kNone};
    case kMetaTempo: return MetaShape{MetaRead::kLengthAndData, 3, ScanProblem::kInvalidTempo};
    case kMetaSmpteOffset: return MetaShape{MetaRead::kFixed, 6, ScanProblem::kNone};
    case kMetaTimeSignature: return MetaShape{MetaRead::kLengthAndData, 4, ScanProblem::kInvalidTimeSignature};
    case kMetaKeySignature: return MetaShape{MetaRead::kLengthAndData, 2, ScanProblem::kInvalidKeySignature};
    default: return std::nullopt;
  }
}

// Whether the bytes after a sequence number's type are what the format puts there: a length of
// 0 or 2, that many bytes, a delta time and the next event's status byte. Reads a copy of the
// reader, so nothing is taken from the track.
bool IsWholeSequenceNumber(ByteReader ahead) {
  try {
    const int length = ahead.U8();
    if (length != 0 && length != 2) return false;
    ahead.Skip(length);
    ReadDeltaTime(ahead);
    return ahead.U8() >= 0x80;
  } catch (const ReadPastLimit&) {
    return false;
  }
}

int DataByte(const std::string& data, std::size_t index) { return static_cast<std::uint8_t>(data[index]); }

// The values that make a tempo or a time signature unusable, once their data is read.
ScanProblem ValueProblem(int type, const std::string& data) {
  if (type == kMetaTempo && DataByte(data, 0) == 0 && DataByte(data, 1) == 0 && DataByte(data, 2) == 0)
    return ScanProblem::kInvalidTempo;
  // 2 to the power dd must fit the 16-bit denominator.
  if (type == kMetaTimeSignature && (DataByte(data, 0) == 0 || DataByte(data, 1) >= kLargestDenominatorPower + 1))
    return ScanProblem::kInvalidTimeSignature;
  return ScanProblem::kNone;
}

}  // namespace

int ChannelDataBytes(std::uint8_t status) { return ShapeOf(status).data_bytes; }

const DeltaTime& EventScanner::Start() {
  if (!started_) {
    started_ = true;
    leading_delta_ = ReadDelta();
  }
  return leading_delta_;
}

std::optional<ScannedEvent> EventScanner::Next() {
  ScannedEvent event;
  if (!Next(event)) return std::nullopt;
  return event;
}

bool EventScanner::Next(ScannedEvent& event) {
  if (finished_) return false;
  Start();
  std::int64_t position = pending_position_;
  std::uint8_t byte = 0;
  if (pending_) {
    byte = *pending_;
    pending_.reset();
  } else {
    position = reader_.Position();
    byte = reader_.U8();
  }
  // Every field as a fresh event has it; the data keeps its memory.
  event.kind = ScannedKind::kStray;
  event.status = 0;
  event.running = false;
  event.data1 = -1;
  event.data2 = -1;
  event.meta_type = -1;
  event.length = -1;
  event.data_first = -1;
  event.data.clear();
  event.first = 0;
  event.last = -1;
  event.delta = DeltaTime{};
  event.problem = ScanProblem::kNone;

  if (byte < 0x80 && branch_status_ != 0) {
    ScanChannel(event, branch_status_, position, byte);
    return true;
  }
  branch_status_ = 0;
  if (byte == kMetaStatus) {
    ScanMeta(event, position);
  } else if (IsChannelStatus(byte)) {
    ScanChannel(event, byte, position, std::nullopt);
  } else if (byte == kSysexStatus || byte == kSysexEscape) {
    ScanSysex(event, byte, position);
  } else {
    event.kind = ScannedKind::kStray;
    event.status = byte;
    event.first = position;
    event.last = position;
    event.delta.first = position + 1;
    event.delta.last = position;
  }
  return true;
}

void EventScanner::ScanChannel(ScannedEvent& event, std::uint8_t status, std::int64_t first,
                               std::optional<std::uint8_t> running_data1) {
  const ChannelShape& shape = ShapeOf(status);
  event.kind = ScannedKind::kChannel;
  event.status = status;
  event.first = first;
  event.running = running_data1.has_value();
  if (event.running) {
    event.data1 = *running_data1;
  } else {
    const std::int64_t data1_position = reader_.Position();
    event.data1 = reader_.U8();
    if (shape.cut_by_status && event.data1 >= 0x80) {
      // The status byte stands alone; the byte read after it is the next event's status.
      pending_ = static_cast<std::uint8_t>(event.data1);
      pending_position_ = data1_position;
      event.kind = ScannedKind::kCutChannel;
      event.data1 = -1;
      event.last = first;
      event.delta.first = data1_position;
      event.delta.last = data1_position - 1;
      return;
    }
    if ((status & 0xF0) == kProgramChange && event.data1 > 127) {
      event.last = data1_position;
      return Fail(event, ScanProblem::kInvalidInstrument);
    }
  }
  if (shape.data_bytes == 2) event.data2 = reader_.U8();
  event.last = reader_.Position() - 1;
  event.delta = ReadDelta();
  branch_status_ = status;
}

void EventScanner::ScanSysex(ScannedEvent& event, std::uint8_t status, std::int64_t first) {
  event.kind = ScannedKind::kSysex;
  event.status = status;
  event.first = first;
  event.length = ReadDeltaTime(reader_);
  reader_.Skip(event.length);
  event.last = reader_.Position() - 1;
  event.delta = ReadDelta();
}

void EventScanner::ScanMeta(ScannedEvent& event, std::int64_t first) {
  event.kind = ScannedKind::kMeta;
  event.status = kMetaStatus;
  event.first = first;
  event.meta_type = reader_.U8();
  event.last = reader_.Position() - 1;
  event.delta.first = event.last + 1;
  event.delta.last = event.last;
  const std::optional<MetaShape> shape = MetaShapeOf(event.meta_type);
  if (!shape) return Fail(event, ScanProblem::kInvalidMetaType);
  switch (shape->read) {
    case MetaRead::kSequenceNumber:
      if (!IsWholeSequenceNumber(reader_)) return;
      event.length = reader_.U8();
      event.data_first = reader_.Position();
      ReadData(event, event.length);
      break;
    case MetaRead::kEnd:
      event.kind = ScannedKind::kEndOfTrack;
      finished_ = true;
      return;
    case MetaRead::kFixed:
      event.length = reader_.U8();
      event.data_first = reader_.Position();
      ReadData(event, shape->count - 1);
      break;
    case MetaRead::kLengthAndData:
      event.length = ReadDeltaTime(reader_);
      event.data_first = reader_.Position();
      event.last = event.data_first - 1;
      if (event.length < shape->count) return Fail(event, shape->problem);
      ReadData(event, event.length);
      if (const ScanProblem problem = ValueProblem(event.meta_type, event.data); problem != ScanProblem::kNone)
        return Fail(event, problem);
      break;
  }
  event.delta = ReadDelta();
}

DeltaTime EventScanner::ReadDelta() {
  DeltaTime delta;
  delta.first = reader_.Position();
  delta.value = ReadDeltaTime(reader_);
  delta.last = reader_.Position() - 1;
  return delta;
}

void EventScanner::ReadData(ScannedEvent& event, std::int64_t count) {
  event.data = reader_.Bytes(count);
  event.last = reader_.Position() - 1;
}

void EventScanner::Fail(ScannedEvent& event, ScanProblem problem) {
  event.problem = problem;
  event.delta.first = event.last + 1;
  event.delta.last = event.last;
  finished_ = true;
}

}  // namespace quavert
