#pragma once

#include <string>

#include "decoding/event_scanner.h"
#include "decoding/records.h"

namespace quavert {

/// Whether `row` can stand for `event`, the event of the track it was decoded from: the same
/// kind of event (the status as the decoder stores it, a tempo, a time signature, a text, lyric
/// or marker placeholder), values that fit their bytes and a delta the decoder can read.
bool RowFitsEvent(const EventRecord& row, const ScannedEvent& event);

/// Whether the event's own bytes still say what `row` says, so that they can go back as they
/// stand: texts, lyrics and markers always (their rows hold nothing else); a tempo whose beats
/// per minute are the row's; a time signature whose numerator and denominator are the row's.
/// Channel and system-exclusive rows are never kept this way.
bool KeepsOriginalBytes(const EventRecord& row, const ScannedEvent& event);

/// Appends the bytes of a channel row: Status, Data1 and Data2 as one byte each, each left out
/// when negative, so that a negated Status keeps the running status it was read with.
void AppendChannelRow(std::string& out, const EventRecord& row);

/// Appends a tempo or time-signature row rebuilt from its values; a time signature keeps the
/// clocks and 32nds bytes of `event`, the one it was decoded from.
void AppendRebuiltMeta(std::string& out, const EventRecord& row, const ScannedEvent& event);

}  // namespace quavert
