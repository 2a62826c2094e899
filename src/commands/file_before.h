#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "app/session.h"

namespace quavert {

/// What opening another file lets go of, kept aside until the new file's first track is decoded,
/// so that an open the user stops leaves everything as it was: the session's file, track, rows,
/// list and undo steps, what the window showed, the player, and on disk the working copy and
/// the report.
struct FileBefore {
  LoadedFile File;
  TrackTable Tracks;
  DecoderState Decoder;
  ListBuilderState List;
  ListShown Shown;
  ControlFacts Controls;
  UndoHistory Undo;
  MediaState Player;
  /// Where the player was while it played or rested paused.
  std::optional<std::int64_t> PlayedTick;
  bool NotesDatMade = false;
  bool DataDatMade = false;
  std::array<std::string, 6> Texts;  ///< Text1 to Text6
  std::string Caption;
  std::string ReportPath;  ///< the report of the file before, as it was when the open began
  bool ReportOpen = false;
  bool ReportUnavailable = false;

  // What the load did on disk, to be taken back.
  std::string WorkCopyAside;  ///< where the working copy before waits; "" when none was set aside
  bool WorkCopyMade = false;  ///< the load copied the new file into the working copy
  std::string ReportMade;     ///< the report the load created; "" when none
  std::string ReportAside;    ///< where the file that stood at ReportMade's path waits; "" when none
};

/// Takes the file shown out of the session before an open changes anything. The session keeps
/// its file facts; its rows, list and undo steps go with the file before.
FileBefore TakeFileBefore(Session& session);

/// In place of deleting the working copy: moves it aside. A working copy that is missing is
/// left missing (RunError with a code that says so).
void SetWorkCopyAside(Session& session, FileBefore& before);

/// Before a report is created at `path`: moves a file already there aside.
void SetReportAside(const std::string& path, FileBefore& before);

/// The open ended, loaded or failed: what waited aside is deleted, as the open used to delete it.
void LetFileBeforeGo(FileBefore& before);

/// The user stopped the open: the new file's working copy and report go, what waited aside comes
/// back, the player opens the file before again (and plays on, or rests, where it was), and the
/// session and the window are as they were. RunError, once all of that is done, when a file could
/// not be put back.
void PutFileBeforeBack(Session& session, FileBefore before);

}  // namespace quavert
