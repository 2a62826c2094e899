#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quavert::testing {

/// One event as read from a track: `status` is the status in force (the running one when the
/// event has none of its own), 0xFF for meta events with `meta_type` set.
struct WalkedEvent {
  std::uint64_t tick = 0;
  int status = 0;
  int data1 = -1;
  int data2 = -1;
  int meta_type = -1;
  std::string data;              ///< meta and system-exclusive data
  bool running_status = false;   ///< the event was written without its status byte
  bool operator==(const WalkedEvent&) const = default;
};

struct WalkedTrack {
  std::vector<WalkedEvent> events;  ///< the end of track included, last
};

struct WalkedFile {
  int format = 0;
  int declared_tracks = 0;
  int division = 0;
  std::vector<WalkedTrack> tracks;
};

/// Thrown by WalkSmf with the byte offset and what is wrong there.
struct SmfFault : std::runtime_error {
  using std::runtime_error::runtime_error;
};

/// Reads a whole Standard MIDI File and holds it to what the program needs: header "MThd" of
/// length 6, format 0 (one track) or 1, a division of 1..32767 ticks, the announced number of
/// "MTrk" chunks filling the file exactly, every length field exact, delta times and lengths in
/// shortest form and within the three bytes the program reads, meta lengths below 128 but for
/// the sequencer-specific event, data bytes below 128, running status only after a channel
/// message, and FF 2F 00 as the last event of every track and nowhere else. SmfFault otherwise.
WalkedFile WalkSmf(std::string_view bytes);

/// The channel events (status 80..EF) of a track, in order.
std::vector<WalkedEvent> ChannelEvents(const WalkedTrack& track);

}  // namespace quavert::testing
