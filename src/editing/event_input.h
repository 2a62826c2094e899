#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "decoding/records.h"

namespace quavert {

/// What an event typed in hex may be: one the track writer writes and the decoder gives a row.
inline constexpr const char* kEventBytesRange =
    "Bytes must be a channel message (status 80 to EF hex, then its data bytes 00 to 7F), a system "
    "exclusive event (F0 or F7, its length, that many bytes), or a text (FF 01), lyric (FF 05), marker "
    "(FF 06), tempo (FF 51 03 and 3 bytes, not 0) or time signature (FF 58 04 and 4 bytes) event";

/// An event to insert: its row (Delta left at -1) and its bytes as the track will hold them.
struct EventInput {
  EventRecord Row;
  std::string Bytes;
  bool operator==(const EventInput&) const = default;
};

/// The bytes of `hex`: pairs of hex digits, blanks between them allowed ("90 3C 64", "903c64").
/// Nothing for any other character, an odd digit count or no digit at all.
std::optional<std::string> ReadHexBytes(std::string_view hex);

/// `bytes` as one complete event of a kind the list shows and the track writer writes, with the
/// row the decoder would give it: a channel message with its own status byte, a system-exclusive
/// event, a text, lyric, marker, tempo or time signature. Nothing for anything else, or for
/// bytes left over after the event.
std::optional<EventInput> ReadEventInput(std::string_view bytes);

}  // namespace quavert
