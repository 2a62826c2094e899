#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "decoding/records.h"

namespace quavert {

/// The kinds of event the Insert Event dialog builds.
enum class EventKind { kNote, kController, kProgram, kPitchBend, kPressure, kRawBytes };

/// What the user typed into the Insert Event dialog. Which fields count depends on the kind:
/// a note takes Channel, Key, Velocity and Length; a controller Channel, Number and Value; a
/// program change Channel and Program (in Number); pitch bend Channel and Value (-8192 .. 8191);
/// channel pressure Channel and Value; raw bytes only Hex.
struct EventForm {
  EventKind Kind = EventKind::kNote;
  std::string Channel = "1";
  std::string Key;
  std::string Velocity;
  std::string Length;
  std::string Number;
  std::string Value;
  std::string Hex;
  std::string Ticks = "0";  ///< the time offset from the selected row
};

/// An event to insert after the selected row, as quavert-cli's --insert takes it.
struct EventRequest {
  std::string Hex;                    ///< the event's bytes in hex ("90 3C 64")
  std::int64_t Ticks = 0;             ///< after the selected row's time
  std::string OffHex;                 ///< a note: its Note Off's bytes
  std::int64_t Length = 0;            ///< a note: ticks from its On to its Off
};

/// The request the form asks for, or the message that names the allowed range of the first
/// field that is not a number in it (the hex of raw bytes is checked where it is inserted).
/// `most_ticks` is the time to the next event, `most_length` the time from the selected row to
/// the end of the track.
struct FormResult {
  std::optional<EventRequest> Request;
  std::string Message;
};
FormResult ReadEventForm(const EventForm& form, std::int64_t most_ticks, std::int64_t most_length);

/// Where a Note Off `ticks` after row `on` goes in `rows`: after the last row that stands before
/// that time (so that an event at that very time, a new note of the same key, comes after it),
/// and the ticks after that row. Nothing when the time lies past the last row's delta.
struct RowPlace {
  std::size_t After = 0;
  std::int64_t Ticks = 0;
};
std::optional<RowPlace> PlaceAfter(const std::vector<EventRecord>& rows, std::size_t on, std::int64_t ticks);

/// The ticks from the start of row `row` to the end of the last row's delta.
std::int64_t TicksToEnd(const std::vector<EventRecord>& rows, std::size_t row);

}  // namespace quavert
