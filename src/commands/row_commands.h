#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quavert {

struct Session;

/// Del: deletes list items `items` (1-based) and the Note Off of each Note On among them (see
/// PlanDelete), then shows the list again. A delete that would make a delta too long shows its
/// message and changes nothing. Items outside the list show "Item must be between 1 and N".
/// True when rows were deleted.
bool DeleteItems(Session& session, const std::vector<std::int64_t>& items);

/// Ins: inserts the event in `hex` (ReadHexBytes, ReadEventInput) after list item `item`
/// (1-based), `ticks` after its time (see PlanInsert), then shows the list again; the new row is
/// item `item` + 1. An item outside the list, ticks outside 0 .. the next event's time, or bytes
/// that are no such event show a message naming what is allowed and change nothing. True when inserted.
bool InsertItem(Session& session, std::int64_t item, std::int64_t ticks, std::string_view hex);

/// Ins with a note: a Note On of `key` and `velocity` (0..127) on `channel` (0..15) after list
/// item `item`, `ticks` after its time, and its Note Off (80 hex, velocity 0) `length` ticks later,
/// after the last row before that time (right after the On for a length of 0). One step ("Insert
/// Note"). A length past the track's last event is refused with "Length must be between 0 and N",
/// other values as InsertItem refuses them. True when inserted.
bool InsertNote(Session& session, std::int64_t item, std::int64_t ticks, int channel, int key, int velocity,
                std::int64_t length);

/// The message of an item outside 1 .. `items`.
std::string ItemRangeMessage(std::int64_t items);

}  // namespace quavert
