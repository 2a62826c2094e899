#include "writing/track_events_writer.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

#include "common/binary_file.h"
#include "common/block_copy.h"
#include "common/byte_reader.h"
#include "decoding/delta_time.h"
#include "decoding/event_rows.h"
#include "decoding/event_scanner.h"
#include "decoding/meta_types.h"
#include "writing/delta_writer.h"
#include "writing/row_encoding.h"

namespace quavert {
namespace {

constexpr char kEndOfTrackEvent[] = {static_cast<char>(0xFF), 0x2F, 0x00};

class TrackEventsWriter {
 public:
  TrackEventsWriter(BinaryFile& work, std::int64_t data_first, std::int64_t data_last, const RowSource& rows,
                    BinaryFile& out, const RowOrigins* origins)
      : reader_(work, data_first, data_last),
        copier_(work, data_first, data_last),
        rows_(rows),
        out_(out),
        origins_(origins != nullptr && origins->Pending ? origins : nullptr) {}

  WrittenSysex Run(std::int64_t first_event_pos);

 private:
  void WriteRowEvent(const ScannedEvent& event);
  // With origins: the event's row, or nothing when it was deleted, then the rows inserted after it.
  void WriteEventOfOrigin(const ScannedEvent& event);
  void WriteInsertedRows();
  std::int64_t OriginOf(std::size_t row) const;
  void WriteEventWithoutRow(const ScannedEvent& event);
  void CopyOriginal(std::int64_t first, std::int64_t last);
  void WriteDelta(std::int32_t delta);

  ByteReader reader_;
  ByteReader copier_;  // a second reader over the same bytes, for the events that go back as they stand
  const RowSource& rows_;
  std::size_t next_row_ = 0;
  BinaryFile& out_;
  std::string bytes_;           // the bytes of the event being written
  bool keep_strays_ = false;    // after a sequence number not read whole: what follows it are stray bytes
  WrittenSysex sysex_;
  const RowOrigins* origins_;   // null when every row stands for its own event
  std::int64_t next_event_ = 0;  // with origins: the index of the next event that has a row
};

WrittenSysex TrackEventsWriter::Run(std::int64_t first_event_pos) {
  EventScanner scanner(reader_);
  scanner.Start();
  bool timed = false;
  // One event's memory serves every event of the track.
  for (ScannedEvent event; scanner.Next(event);) {
    // A track the decoder read to its end has no event it refuses.
    if (event.problem != ScanProblem::kNone) throw TrackMismatch();
    // The timed part begins at first_event_pos: where the decoder found its first event, or,
    // after an earlier save of these rows, where that save wrote the first of them. That one
    // need not start a timed part itself (a status byte without data that began it is not
    // written again), so the position decides; every event from it on is in the timed part,
    // which gives the events that can start one the rows the decoder gave them.
    if (!timed) {
      if (event.first == first_event_pos) {
        timed = true;
        // Rows inserted with no row before them open the timed part.
        if (origins_ != nullptr) WriteInsertedRows();
      } else if (event.first > first_event_pos || StartsTimedPart(event)) {
        throw TrackMismatch();
      }
    }
    // Everything before the timed part is copied with the chunk's beginning.
    if (!timed) continue;
    if (event.kind == ScannedKind::kEndOfTrack) break;
    if (event.kind == ScannedKind::kStray) {
      if (keep_strays_) CopyOriginal(event.first, event.last);
      continue;
    }
    keep_strays_ = false;
    if (GetsRow(event, /*begun=*/true) && origins_ != nullptr)
      WriteEventOfOrigin(event);
    else if (GetsRow(event, /*begun=*/true))
      WriteRowEvent(event);
    else
      WriteEventWithoutRow(event);
  }
  if (!scanner.Finished() || !timed || next_row_ != rows_.Count) throw TrackMismatch();
  out_.Write(kEndOfTrackEvent, sizeof kEndOfTrackEvent);
  return std::move(sysex_);
}

void TrackEventsWriter::WriteRowEvent(const ScannedEvent& event) {
  if (next_row_ >= rows_.Count) throw TrackMismatch();
  const EventRecord row = rows_.At(next_row_++);
  if (!RowFitsEvent(row, event)) throw TrackMismatch();
  if (event.kind == ScannedKind::kSysex) {
    sysex_.Start.push_back(out_.Position());
    CopyOriginal(event.first, event.last);
    sysex_.End.push_back(out_.Position() - 1);
  } else if (event.kind == ScannedKind::kChannel) {
    bytes_.clear();
    AppendChannelRow(bytes_, row);
    out_.Write(bytes_);
  } else if (KeepsOriginalBytes(row, event)) {
    CopyOriginal(event.first, event.last);
  } else {
    bytes_.clear();
    AppendRebuiltMeta(bytes_, row, event);
    out_.Write(bytes_);
  }
  WriteDelta(row.Delta);
}

std::int64_t TrackEventsWriter::OriginOf(std::size_t row) const {
  return row < origins_->Event.size() ? origins_->Event[row] : std::numeric_limits<std::int64_t>::max();
}

void TrackEventsWriter::WriteEventOfOrigin(const ScannedEvent& event) {
  const std::int64_t index = next_event_++;
  if (next_row_ < rows_.Count && OriginOf(next_row_) == index) {
    WriteRowEvent(event);
    WriteInsertedRows();
    return;
  }
  // A deleted event: its delta went to the row before it. A row that still names it, or an
  // earlier event, means the rows are not this track's.
  for (std::size_t row = next_row_; row < rows_.Count; ++row) {
    const std::int64_t origin = OriginOf(row);
    if (origin >= 0) {
      if (origin <= index) throw TrackMismatch();
      break;
    }
  }
}

void TrackEventsWriter::WriteInsertedRows() {
  if (origins_->Event.size() != rows_.Count) throw TrackMismatch();
  for (; next_row_ < rows_.Count; ++next_row_) {
    const std::int64_t inserted = InsertedIndex(OriginOf(next_row_));
    if (inserted < 0) return;
    if (static_cast<std::size_t>(inserted) >= origins_->Inserted.size()) throw TrackMismatch();
    const EventRecord row = rows_.At(next_row_);
    if (row.Delta < 0 || row.Delta > kLargestDeltaTime) throw TrackMismatch();
    bytes_.clear();
    if (row.Status >= 0x80 && row.Status <= 0xEF) {
      // A channel row takes what its cells say now.
      AppendChannelRow(bytes_, row);
    } else {
      bytes_ = origins_->Inserted[static_cast<std::size_t>(inserted)];
    }
    const bool sysex = !bytes_.empty() && (static_cast<std::uint8_t>(bytes_[0]) == 0xF0 ||
                                           static_cast<std::uint8_t>(bytes_[0]) == 0xF7);
    if (sysex) sysex_.Start.push_back(out_.Position());
    out_.Write(bytes_);
    if (sysex) sysex_.End.push_back(out_.Position() - 1);
    WriteDelta(row.Delta);
  }
}

void TrackEventsWriter::WriteEventWithoutRow(const ScannedEvent& event) {
  // A controller or pressure status byte with no data carries nothing.
  if (event.kind != ScannedKind::kMeta) return;
  CopyOriginal(event.first, event.last);
  if (event.meta_type == kMetaSequenceNumber && event.length < 0) {
    keep_strays_ = true;
    return;
  }
  WriteDelta(event.delta.value);
}

void TrackEventsWriter::CopyOriginal(std::int64_t first, std::int64_t last) {
  // Events come in track order, so the copier only ever moves forward.
  copier_.Skip(first - copier_.Position());
  for (std::int64_t left = last - first + 1; left > 0;) {
    const std::int64_t part = std::min(left, kBlockSize);
    out_.Write(copier_.Bytes(part));
    left -= part;
  }
}

void TrackEventsWriter::WriteDelta(std::int32_t delta) {
  bytes_.clear();
  AppendDeltaTime(bytes_, delta);
  out_.Write(bytes_);
}

}  // namespace

WrittenSysex WriteTrackEvents(BinaryFile& work, std::int64_t data_first, std::int64_t data_last,
                              std::int64_t first_event_pos, const RowSource& rows, BinaryFile& out,
                              const RowOrigins* origins) {
  TrackEventsWriter writer(work, data_first, data_last, rows, out, origins);
  return writer.Run(first_event_pos);
}

WrittenSysex WriteTrackEvents(BinaryFile& work, std::int64_t data_first, std::int64_t data_last,
                              std::int64_t first_event_pos, std::span<const EventRecord> rows, BinaryFile& out,
                              const RowOrigins* origins) {
  const RowSource source{rows.size(), [rows](std::size_t row) { return rows[row]; }};
  return WriteTrackEvents(work, data_first, data_last, first_event_pos, source, out, origins);
}

DeltaTime DeltaBeforeTimedPart(BinaryFile& work, std::int64_t data_first, std::int64_t data_last,
                               std::int64_t first_event_pos) {
  ByteReader reader(work, data_first, data_last);
  EventScanner scanner(reader);
  DeltaTime before = scanner.Start();
  for (ScannedEvent event; scanner.Next(event);) {
    if (event.first == first_event_pos) {
      if (before.value < 0) throw TrackMismatch();
      return before;
    }
    if (event.first > first_event_pos) break;
    // Stray bytes stand between a delta and the next event without one of their own.
    if (event.delta.value >= 0) before = event.delta;
  }
  throw TrackMismatch();
}

}  // namespace quavert
