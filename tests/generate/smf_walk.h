#pragma once

#include <string_view>
#include <vector>

namespace quavert::testing {

/// One event of a track: `status` is the status in force (the running one when the event has
/// none of its own), 0xFF for meta events with `meta` their type; `data1` its first data byte.
struct WalkedEvent {
  int status = 0;
  int data1 = -1;
  int meta = -1;
};

struct WalkedFile {
  int format = 0;
  std::vector<std::vector<WalkedEvent>> tracks;  ///< each ends with its end of track
};

/// Reads a whole Standard MIDI File and holds it to what the program reads: a header "MThd" of
/// length 6, format 0 with one track or format 1, a division of 1..32767 ticks, the announced
/// number of "MTrk" chunks filling the file exactly, numbers in their shortest form and within
/// the three bytes the program reads, meta lengths below 128 but for the sequencer-specific
/// event, data bytes below 128, running status only after a channel message, and FF 2F 00 as
/// the last event of every track and nowhere else. std::runtime_error naming the offset otherwise.
WalkedFile WalkSmf(std::string_view bytes);

}  // namespace quavert::testing
