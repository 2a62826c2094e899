#include "commands/load_driver.h"

#include <functional>
#include <optional>
#include <utility>

#include "app/long_work.h"
#include "app/session.h"
#include "commands/event_list.h"
#include "commands/block.h"
#include "commands/chunk_walker.h"
#include "commands/file_before.h"
#include "commands/file_summary.h"
#include "commands/media_commands.h"
#include "common/binary_file.h"
#include "common/block_copy.h"
#include "common/file_system.h"
#include "common/number_text.h"
#include "common/run_error.h"
#include "lint/rmid.h"
#include "loading/chunk_headers.h"

namespace quavert {
namespace {

constexpr const char* kMidiFilter = "MIDI files (*.mid;*.midi;*.rmi)|*.mid;*.midi;*.rmi|All files (*.*)|*.*";
constexpr int kHideReadOnly = 4;

// While loading, a file or folder that has gone missing skips the step that needed it and the
// load goes on: that is how a working copy already deleted, or a logs folder removed, is passed.
void SkipIfMissing(Session& session, const std::function<void()>& step) {
  try {
    step();
  } catch (const RunError& error) {
    const bool missing = error.code() == kFileNotFound || error.code() == kPathNotFound;
    if (!missing || session.file.LoadState != kLoadNormal) throw;
  }
}

// "song.txt" for SONG.MID: the short name less its last three characters, in lower case,
// followed by "txt". A name too short for that keeps itself and gets ".txt".
std::string ReportName(const std::string& short_name) {
  if (short_name.size() <= 3) return LowerCase(short_name) + ".txt";
  return LowerCase(short_name.substr(0, short_name.size() - 3)) + "txt";
}

void CreateReport(Session& session, FileBefore& before) {
  const std::string path = JoinPath(session.AppPath("logs"), ReportName(session.file.ShortName));
  SetReportAside(path, before);
  try {
    session.report.Create(path);
    before.ReportMade = path;
  } catch (const RunError& error) {
    session.report.MarkUnavailable();
    session.ui.MessageBox("ERROR: Report not created: " + path + " (" + error.reason() + ")");
  }
}

// How a load ended: loaded or failed (kEnded), or stopped by the user.
enum class LoadEnd { kEnded, kStopped };

// Stops the load: the file is closed before the message.
LoadEnd Reject(Session& session, BinaryFile& work, const std::string& what) {
  work = BinaryFile();
  session.ui.MessageBox(session.file.ShortName + what);
  session.file.LoadState = kLoadFailed;
  return LoadEnd::kEnded;
}

void FillTrackChooser(Session& session) {
  session.ui.ComboClear();
  for (int track = 1; track <= session.tracks.TrackCount; ++track) session.ui.ComboAddItem(PlainNumber(track));
  session.ui.SetText(Control::Combo1, "1");
  session.file.ChooserTracks = session.tracks.TrackCount;
}

LoadEnd LoadSteps(Session& session, FileBefore& before, Progress& progress) {
  LoadedFile& file = session.file;

  FillNameTables(session.names);

  SkipIfMissing(session, [&] { file.FileSize = FileLength(file.MidiPath); });
  CloseAllFiles(session);

  // The working copy itself may be opened (to take up the edits of a run that was stopped): it
  // holds the file already, and deleting or recreating it would destroy the file being read.
  const bool opening_work_copy = SameFile(file.MidiPath, session.AppPath(kWorkCopyName));

  file.LoadState = kLoadNormal;
  // The working copy before waits aside until the new file is in: an open the user stops puts it back.
  if (!file.WorkCopyName.empty() && !opening_work_copy)
    SkipIfMissing(session, [&] { SetWorkCopyAside(session, before); });

  file.WorkCopyName = kWorkCopyName;
  // The steps of the file before cannot be taken back in this one.
  session.undo.Clear();
  file.RepairAsked = false;
  file.InsertedStatusPos = 0;
  file.CurrentTrack = 1;
  file.ReportHeadDone = false;
  file.SummaryDone = false;
  file.FromRmid = false;

  before.WorkCopyMade = !opening_work_copy;
  if (!opening_work_copy) SkipIfMissing(session, [&] {
    BinaryFile source(file.MidiPath, BinaryFile::Mode::kRead);
    // An RMID file is worked on as the MIDI file of its data chunk; any other file as it stands,
    // so that a RIFF file of another kind is no MIDI file.
    std::optional<RiffProblem> riff;
    const MidiRange range = FindMidiData(source, riff);
    file.FromRmid = range.rmid;
    if (range.rmid) file.FileSize = range.last - range.first + 1;
    source.Seek(range.rmid ? range.first : 1);
    BinaryFile copy(session.WorkCopyPath(), BinaryFile::Mode::kCreate);
    CopyBlocks(source, copy, file.FileSize, &progress);
    copy.Close();
  });

  file.ShortName = UpperCase(NameOf(file.MidiPath));

  BinaryFile work;
  std::size_t header_bytes = 0;
  file.Header = HeaderChunk{};
  SkipIfMissing(session, [&] {
    work = BinaryFile(session.WorkCopyPath(), BinaryFile::Mode::kRead);
    header_bytes = work.Read(&file.Header, sizeof file.Header);
  });

  switch (CheckHeader(file.Header, header_bytes)) {
    case HeaderProblem::kNotMidi: return Reject(session, work, " is not a MIDI file");
    case HeaderProblem::kHeaderSize: return Reject(session, work, ": Invalid Header Size");
    case HeaderProblem::kFileFormat: return Reject(session, work, ": Invalid File Format");
    case HeaderProblem::kNone: break;
  }
  file.FileFormat = FileFormatOf(file.Header);
  file.TotalTracks = AnnouncedTracks(file.Header);

  WalkTrackChunks(session);
  if (file.LoadState == kLoadFailed) return LoadEnd::kEnded;
  if (file.TotalTracks != session.tracks.TrackCount) file.TotalTracks = session.tracks.TrackCount;

  file.DeltaTicks = DivisionTicks(file.Header);
  if (!DivisionIsMetrical(file.Header)) return Reject(session, work, ": Invalid Number of Delta Ticks");

  work = BinaryFile();
  CreateReport(session, before);
  FillTrackChooser(session);
  return ShowFileSummary(session) ? LoadEnd::kEnded : LoadEnd::kStopped;
}

// Loads file.MidiPath: name tables, working copy, header checks, chunk walk, report, track
// chooser, then the file summary, which decodes track 1. Leaves LoadState 99 on failure.
LoadEnd LoadMidiFile(Session& session, FileBefore& before) {
  // The decode of the first track heeds Esc; what comes before it is quick.
  LongWork work(session.ui, true);
  try {
    return LoadSteps(session, before, work);
  } catch (const RunError& error) {
    // No file ends the program: the load fails and the window stays usable.
    if (error.code() == kIndexOutOfRange) session.ui.MessageBox("ERROR: Too many notes for array");
    else session.ui.MessageBox("Error:" + SignedNumber(error.code()));
    session.file.LoadState = kLoadFailed;
  }
  return LoadEnd::kEnded;
}

}  // namespace

bool OpenMidiFile(Session& session, const std::string& path) {
  LoadedFile& file = session.file;
  Toolkit& ui = session.ui;

  std::string candidate = path;
  if (candidate.empty()) {
    FileDialogSetup setup;
    setup.InitDir = CurrentFolder();
    if (const auto slash = file.MidiPath.rfind('/'); slash != std::string::npos)
      setup.InitDir = file.MidiPath.substr(0, slash + 1);
    setup.DialogTitle = "Load MIDI file";
    setup.Filter = kMidiFilter;
    setup.Flags = kHideReadOnly;
    setup.FileName = "";
    const FileChoice choice = ui.ShowOpenDialog(setup);
    if (choice.FileName.empty()) return true;
    if (!FileExists(choice.FileName)) {
      ui.MessageBox(choice.FileTitle + " does not exist", Buttons::kOk, Icon::kExclamation);
      return true;
    }
    candidate = choice.FileName;
  }

  FileBefore before = TakeFileBefore(session);
  file.MidiPath = candidate;
  file.LastOpenedPath = file.MidiPath;

  ui.SetBusy(true);
  file.FileLoaded = false;

  ControlFacts& controls = session.controls;
  controls.FileCommands = true;
  controls.Notes = true;
  controls.TicksLocked = false;
  controls.Play = true;
  controls.PauseStop = false;
  // The list's rows belong to the file before: "Save Track" must not write them into this one.
  controls.SaveTrack = false;
  ClearEventList(session);
  ShowControls(session);

  file.TrackReportFlags = {};
  for (Control control : {Control::Text1, Control::Text2, Control::Text3, Control::Text4, Control::Text5,
                          Control::Text6})
    ui.SetText(control, "");
  ui.ComboClear();
  file.ChooserTracks = 0;

  MciClose(session, kDeviceAlias);
  MciOpenInFrame(session, file.MidiPath, kDeviceAlias);

  if (LoadMidiFile(session, before) == LoadEnd::kStopped) {
    try {
      PutFileBeforeBack(session, std::move(before));
    } catch (const RunError& error) {
      ui.MessageBox("Error:" + SignedNumber(error.code()));
    }
    ui.SetStatusText("Cancelled");
    ui.SetBusy(false);
    return false;
  }
  LetFileBeforeGo(before);
  // The player plays what was loaded: an RMID file's MIDI data.
  if (file.FromRmid && file.LoadState != kLoadFailed) {
    MciClose(session, kDeviceAlias);
    MciOpenInFrame(session, session.WorkCopyPath(), kDeviceAlias);
  }

  file.FileLoaded = true;
  if (file.LoadState == kLoadFailed) {
    Block(session, 1);
    MciClose(session, kDeviceAlias);
  }
  try {
    session.report.Flush();
  } catch (const RunError&) {
    // A report that cannot take its lines is noticed at the next line written.
  }
  ui.SetBusy(false);
  return true;
}

}  // namespace quavert
