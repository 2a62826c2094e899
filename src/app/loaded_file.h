#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "loading/chunk_headers.h"

namespace quavert {

/// Values of LoadState: how the last load or decode ended, and what the caller does next.
enum LoadStateValue : int {
  kLoadCleared = 0,   ///< cleared before a second decode
  kLoadNormal = 1,    ///< loading, or a normal end
  kDecodeAgain = 98,  ///< the file was repaired: decode the current track again
  kLoadFailed = 99,   ///< the load or decode failed; stop
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
  /// The track chooser offers tracks 1 to this number; 0 while it is empty.
  int ChooserTracks = 0;
};

/// Name of the working copy in the application folder.
inline constexpr const char* kWorkCopyName = "quavert-temp.tmp";

}  // namespace quavert
