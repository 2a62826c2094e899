#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quavert {

/// Values of LoadState: how the last load or decode ended, and what the caller does next.
enum LoadStateValue : int {
  kLoadCleared = 0,   ///< cleared before a second decode
  kLoadNormal = 1,    ///< loading, or a normal end
  kDecodeAgain = 98,  ///< the file was repaired: decode the current track again
  kLoadFailed = 99,   ///< the load or decode failed; stop
};

/// The 14 header bytes exactly as read from the start of the file.
struct HeaderChunk {
  std::array<std::uint8_t, 4> Id{};
  std::array<std::uint8_t, 4> Size{};
  std::array<std::uint8_t, 2> Format{};
  std::array<std::uint8_t, 2> Tracks{};
  std::array<std::uint8_t, 2> Division{};
  bool operator==(const HeaderChunk&) const = default;
};

/// The 8 bytes of a track chunk header exactly as read.
struct TrackChunk {
  std::array<std::uint8_t, 4> Id{};
  std::array<std::uint8_t, 4> Size{};
  /// The data length, given the bytes that follow the header in the file (`room`). A size of
  /// 16 MB or more (a first byte other than 0) counts whole when the file holds that many bytes;
  /// otherwise only its low three bytes count, so that a damaged first byte moves nothing.
  std::int64_t DataLength(std::int64_t room) const {
    const std::int64_t low = Size[1] * 65536 + Size[2] * 256 + Size[3];
    const std::int64_t whole = std::int64_t{Size[0]} << 24 | low;
    return Size[0] != 0 && whole <= room ? whole : low;
  }
  bool operator==(const TrackChunk&) const = default;
};

static_assert(sizeof(HeaderChunk) == 14 && sizeof(TrackChunk) == 8, "chunk headers are read as they lie in the file");

/// Most track chunks a file may have.
inline constexpr int kMaxTracks = 72;

/// Where each track chunk of the working copy begins, built by the chunk walker.
struct TrackTable {
  int TrackCount = 0;  ///< track chunks found, 0..72
  /// Entry k (1..TrackCount): 1-based position of the "M" of track k's chunk header.
  /// Entry TrackCount + 1: the position after the last track, or of the chunk that stopped the walk.
  std::array<std::int64_t, kMaxTracks + 2> TrackStart{};
  /// Entry k: track k's chunk header as read; entry TrackCount + 1 may hold the one that stopped the walk.
  std::array<TrackChunk, kMaxTracks + 2> TrackChunks{};
  bool operator==(const TrackTable&) const = default;
};

/// The file being loaded or loaded: set by the open command and the load driver, read by all.
struct LoadedFile {
  std::string MidiPath;        ///< path being opened; the media open replaces it by its short form
  std::string LastOpenedPath;  ///< the path as chosen, remembered in the settings file
  std::string WorkCopyName;    ///< "" until the first load, then "quavert-temp.tmp"
  int LoadState = kLoadCleared;
  std::int64_t FileSize = 0;   ///< bytes of the working copy
  HeaderChunk Header;
  int FileFormat = 0;          ///< low byte of the header's format field
  int TotalTracks = 0;         ///< the header's track count, then the number of chunks found
  int DeltaTicks = 0;          ///< ticks per quarter note, 1..32767 after a load
  std::string ShortName;       ///< upper-case file name, as every load message begins
  int CurrentTrack = 1;        ///< 1-based number of the selected track
  std::string FormatText;      ///< "single", "Multi" or "Multi (independent)"
  bool ReportHeadDone = false;
  bool SummaryDone = false;
  /// Row 0: track heading written; row 1: meta-event lines written; row 2: event lines written.
  std::array<std::array<bool, 101>, 3> TrackReportFlags{};
  bool FileLoaded = false;     ///< a load succeeded; track choice decodes only then
  bool RepairAsked = false;    ///< the missing-byte repair was made since the load
  /// Where that repair inserted its status byte in the working copy; 0 when it made none.
  std::int64_t InsertedStatusPos = 0;
  /// The file opened is an RMID file: the working copy is the MIDI file of its "data" chunk.
  bool FromRmid = false;
};

/// Name of the working copy in the application folder.
inline constexpr const char* kWorkCopyName = "quavert-temp.tmp";

}  // namespace quavert
