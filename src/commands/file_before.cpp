#include "commands/file_before.h"

#include <optional>
#include <utility>

#include "app/media_service.h"
#include "commands/media_commands.h"
#include "commands/playback_actions.h"
#include "common/file_system.h"
#include "common/number_text.h"
#include "common/run_error.h"

namespace quavert {
namespace {

constexpr std::array<Control, 6> kTexts = {Control::Text1, Control::Text2, Control::Text3,
                                           Control::Text4, Control::Text5, Control::Text6};

std::string AsidePath(const std::string& path) { return path + ".before"; }

// The new file's working copy and report go, and the files that waited aside take their places.
void PutFilesBack(Session& session, const FileBefore& before) {
  session.report.Close();
  if (!before.ReportAside.empty()) RenameFile(before.ReportAside, before.ReportMade);
  else if (!before.ReportMade.empty()) DeleteFile(before.ReportMade);

  // A working copy before that cannot come back leaves none rather than the new file's.
  const std::string work = session.AppPath(kWorkCopyName);
  try {
    if (!before.WorkCopyAside.empty()) RenameFile(before.WorkCopyAside, work);
  } catch (const RunError&) {
    DeleteFile(work);
    throw;
  }
  if (before.WorkCopyAside.empty() && before.WorkCopyMade) DeleteFile(work);

  if (before.ReportOpen) session.report.Reopen(before.ReportPath);
  else if (before.ReportUnavailable) session.report.MarkUnavailable();
}

// The device opens the file before again and goes on where it was.
void PutPlayerBack(Session& session, const FileBefore& before) {
  MciClose(session, kDeviceAlias);
  if (before.Player.OpenPath.empty()) return;
  MciOpenInFrame(session, before.Player.OpenPath, kDeviceAlias);
  if (!before.PlayedTick) return;
  if (before.Player.Playing && !before.Player.Paused) PlayFromAction(session, *before.PlayedTick);
  else SeekAction(session, *before.PlayedTick);
}

void ShowFileBefore(Session& session, const FileBefore& before) {
  Toolkit& ui = session.ui;
  for (std::size_t i = 0; i < kTexts.size(); ++i) ui.SetText(kTexts[i], before.Texts[i]);
  ui.ComboClear();
  for (int track = 1; track <= session.file.ChooserTracks; ++track) ui.ComboAddItem(PlainNumber(track));
  if (session.file.ChooserTracks > 0) ui.SetText(Control::Combo1, PlainNumber(session.file.CurrentTrack));
  ui.SetCaption(before.Caption);
  // Pause and Stop as the player now is: it plays on only when it could start again.
  session.controls.PauseStop = session.player.Playing && !session.player.Paused;
  ShowControls(session);
}

}  // namespace

FileBefore TakeFileBefore(Session& session) {
  FileBefore before;
  before.File = session.file;
  before.Tracks = session.tracks;
  before.Decoder = session.decoder;
  before.List = session.list;
  before.Shown = TakeListShown(session);
  before.Controls = session.controls;
  before.Undo = std::exchange(session.undo, {});
  before.PlayedTick = PlayedTick(session);
  before.Player = session.player;
  before.NotesDatMade = session.NotesDatMade;
  before.DataDatMade = session.DataDatMade;
  for (std::size_t i = 0; i < kTexts.size(); ++i) before.Texts[i] = session.ui.GetText(kTexts[i]);
  before.Caption = session.ui.GetCaption();
  before.ReportPath = session.report.Path();
  before.ReportOpen = session.report.IsOpen();
  before.ReportUnavailable = session.report.IsUnavailable();
  return before;
}

void SetWorkCopyAside(Session& session, FileBefore& before) {
  const std::string work = session.WorkCopyPath();
  RenameFile(work, AsidePath(work));
  before.WorkCopyAside = AsidePath(work);
}

void SetReportAside(const std::string& path, FileBefore& before) {
  if (!FileExists(path)) return;
  try {
    RenameFile(path, AsidePath(path));
    before.ReportAside = AsidePath(path);
  } catch (const RunError&) {
    // Creating the report in such a folder fails too, and leaves the file as it is.
  }
}

void LetFileBeforeGo(FileBefore& before) {
  DeleteLeftover(std::exchange(before.WorkCopyAside, {}));
  DeleteLeftover(std::exchange(before.ReportAside, {}));
}

void PutFileBeforeBack(Session& session, FileBefore before) {
  // Files that cannot be put back are said after the rest is back.
  std::optional<RunError> failed;
  try {
    PutFilesBack(session, before);
  } catch (const RunError& error) {
    failed = error;
  }
  session.file = before.File;
  session.tracks = before.Tracks;
  session.decoder = std::move(before.Decoder);
  session.list = before.List;
  session.controls = before.Controls;
  session.undo = std::move(before.Undo);
  session.player = before.Player;
  session.NotesDatMade = before.NotesDatMade;
  session.DataDatMade = before.DataDatMade;
  PutPlayerBack(session, before);
  ShowFileBefore(session, before);
  PutListShownBack(session, std::move(before.Shown));
  if (failed) throw *failed;
}

}  // namespace quavert
