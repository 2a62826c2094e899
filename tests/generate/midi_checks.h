#pragma once

#include <set>
#include <string>

#include "generate/smf_walk.h"

namespace quavert::testing {

/// Status kinds (high nibble) and meta types met in a file, and its channel events counted.
struct Contents {
  std::set<int> kinds;        ///< 0x80 .. 0xE0 for channel messages, 0xF0 and 0xF7
  std::set<int> meta_types;
  std::set<int> drum_keys;    ///< keys of notes on channel 10
  std::size_t channel_events = 0;
  std::size_t running_status_events = 0;
};

Contents ContentsOf(const WalkedFile& file);

/// An empty text when every note on (velocity above 0) is ended later in its track by a note off
/// or a note on of velocity 0 on the same channel and key; otherwise the first one left sounding.
std::string HangingNote(const WalkedFile& file);

/// The beats per minute of a tempo event as the program reads it (whole beats, rounded down).
int BeatsPerMinute(const WalkedEvent& tempo);

/// The name of each track (its first track-name event, empty when it has none).
std::vector<std::string> TrackNames(const WalkedFile& file);

}  // namespace quavert::testing
