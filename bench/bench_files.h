#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "midi_track.h"

namespace quavert::generate {

/// The files the benchmarks read. `kSong` files hold music on every channel (names, tempo, time
/// and key signature, program changes, controllers, pitch bend, drums on channel 10, system
/// exclusive); `kDrums` is one track of drum notes whose keys all differ from their neighbours;
/// `kPrograms` is one track of program changes that all differ from their neighbours.
enum class Style { kSong, kDrums, kPrograms };

struct FileOptions {
  Style style = Style::kSong;
  int tracks = 1;               ///< 1 gives format 0, more give format 1; 1..kMaxTracks
  std::int64_t events = 0;      ///< channel events in the whole file, exactly
  std::uint64_t seed = 1;
};

inline constexpr int kMaxTracks = 72;             // the most the program loads
inline constexpr std::int64_t kMaxEvents = 30'000'000;  // about 100 MB

/// The options of a named file: "single" (one track, 16,000 events), "medium" (16 tracks,
/// 1,000,000 events), "large" (16 tracks, 6,400,000 events), "drums" and "programs" (16,000
/// events each); nothing for another name.
std::optional<FileOptions> Preset(std::string_view name);

/// The whole file; std::invalid_argument when the options are out of range.
Bytes MakeFile(const FileOptions& options);

}  // namespace quavert::generate
