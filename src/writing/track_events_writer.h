#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <span>
#include <vector>

#include "decoding/event_scanner.h"
#include "decoding/records.h"
#include "decoding/row_origins.h"

namespace quavert {

class BinaryFile;

/// Thrown when the bytes of a track and the rows of its event list do not belong together.
struct TrackMismatch : std::exception {
  const char* what() const noexcept override { return "the track does not match its rows"; }
};

/// Where the system-exclusive events went in the new file (1-based positions of the status byte
/// and of the last byte), in track order.
struct WrittenSysex {
  std::vector<std::int64_t> Start;
  std::vector<std::int64_t> End;
};

/// Writes the timed part of a track again, from `first_event_pos` to its end, onto `out` at its
/// current position, followed by FF 2F 00. `work` holds the track's data at positions
/// `data_first` .. `data_last`; it is walked event by event exactly as the decoder walks it,
/// and `rows` (one per event the decoder gave a row) are laid over the events in order:
/// - a channel row is written from its values (a negated status writes no status byte);
/// - a system-exclusive row copies its event's bytes;
/// - a text, lyric or marker row, and a tempo or time signature whose values were not changed,
///   copies its event's bytes; a changed tempo or time signature is rebuilt from the row;
/// - every one of them is followed by the row's delta in its shortest form.
/// Meta events without a row stay with the delta that follows them; a sequence-number event
/// keeps the bytes the decoder passes over after it; other bytes the decoder skips and status
/// bytes without data are left out. TrackMismatch when the events and the rows do not pair up
/// or the timed part does not begin at `first_event_pos`; RunError for a failed read or write.
/// With `origins` pending, the rows say which events they stand for: an event whose row was
/// deleted is left out with its delta, and an inserted row is written, with its delta, right
/// after the row before it (at the start of the timed part when no row is before it): a channel
/// row from its values, another from its bytes in `origins`.
WrittenSysex WriteTrackEvents(BinaryFile& work, std::int64_t data_first, std::int64_t data_last,
                              std::int64_t first_event_pos, std::span<const EventRecord> rows, BinaryFile& out,
                              const RowOrigins* origins = nullptr);
/// The same with the rows read one at a time, in order, as the events come.
struct RowSource {
  std::size_t Count = 0;
  std::function<EventRecord(std::size_t)> At;
};
WrittenSysex WriteTrackEvents(BinaryFile& work, std::int64_t data_first, std::int64_t data_last,
                              std::int64_t first_event_pos, const RowSource& rows, BinaryFile& out,
                              const RowOrigins* origins = nullptr);

/// The delta time in front of the event at `first_event_pos` (the start of the timed part) in
/// the track data at `data_first` .. `data_last` of `work`: the one after the event before it,
/// or the track's first. TrackMismatch when no event starts there or no delta stands before it.
DeltaTime DeltaBeforeTimedPart(BinaryFile& work, std::int64_t data_first, std::int64_t data_last,
                               std::int64_t first_event_pos);

}  // namespace quavert
