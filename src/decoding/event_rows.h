#pragma once

#include "decoding/event_scanner.h"

namespace quavert {

/// Whether `event` begins the timed part of the track (FirstEventPos becomes its first byte)
/// when it has not begun before: a channel event with its own status byte (also one cut short
/// or unusable), a system-exclusive event, or a text or lyric followed by a delta of 1 or more.
bool StartsTimedPart(const ScannedEvent& event);

/// Whether the decoder gives `event` a row of notes.dat, `timed_part_begun` telling whether the
/// timed part had begun before the event: every usable channel and system-exclusive event; a
/// text or lyric in the timed part or followed by a delta of 1 or more; a marker, tempo or time
/// signature in the timed part. Other meta events, stray bytes and cut-short events get none.
bool GetsRow(const ScannedEvent& event, bool timed_part_begun);

/// The Status of a channel event's row: its status byte, negated when the event came under
/// running status and is a controller, pressure or pitch-bend event, so that the track writer
/// leaves the status byte out again. Notes and program changes always get theirs back.
int RowStatus(const ScannedEvent& event);

}  // namespace quavert
