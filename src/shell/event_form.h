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

/// An event to insert after the selected row: bytes as quavert-cli's --insert takes them, or a
/// note with its length.
struct EventRequest {
  std::string Hex;         ///< the event's bytes in hex ("B0 07 64"); empty for a note
  std::int64_t Ticks = 0;  ///< after the selected row's time
  int Channel = 0;         ///< a note: 0..15, and its key, velocity and length in ticks
  int Key = 0;
  int Velocity = 0;
  std::int64_t Length = 0;
};

/// The request the form asks for, or the message that names the allowed range of the first
/// field that is not a number in it (the hex of raw bytes is checked where it is inserted).
/// `most_ticks` is the time to the next event, `most_length` the time from the selected row to
/// the end of the track (a note's length is refused past it, as the insert itself refuses it).
struct FormResult {
  std::optional<EventRequest> Request;
  std::string Message;
};
FormResult ReadEventForm(const EventForm& form, std::int64_t most_ticks, std::int64_t most_length);

}  // namespace quavert
