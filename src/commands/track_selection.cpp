#include "commands/track_selection.h"

#include <optional>
#include <string>
#include <utility>

#include "app/session.h"
#include "commands/block.h"
#include "commands/event_list.h"
#include "commands/track_decoder.h"
#include "common/number_text.h"

namespace quavert {
namespace {

// What choosing another track replaces, kept until its decode ends so that a decode the user
// stops can be undone: the track, its rows and list, and what the window showed of it.
struct TrackShown {
  ControlFacts Controls;
  int CurrentTrack = 0;
  int LoadState = 0;
  DecoderState Decoder;
  ListShown List;
  std::array<std::array<bool, 101>, 3> ReportFlags{};
  std::int64_t ReportWritten = 0;
  bool NotesDatMade = false;
  std::string Text2;
  std::string Text6;
};

// Takes the track shown out of the session, which goes on without rows or list.
TrackShown TakeTrackShown(Session& session) {
  TrackShown shown;
  shown.Controls = session.controls;
  shown.CurrentTrack = session.file.CurrentTrack;
  shown.LoadState = session.file.LoadState;
  shown.Decoder = session.decoder;
  shown.List = TakeListShown(session);
  shown.ReportFlags = session.file.TrackReportFlags;
  shown.ReportWritten = session.report.Written();
  shown.NotesDatMade = session.NotesDatMade;
  shown.Text2 = session.ui.GetText(Control::Text2);
  shown.Text6 = session.ui.GetText(Control::Text6);
  return shown;
}

// Puts the track shown back, as if it had never been taken out.
void PutTrackShownBack(Session& session, TrackShown shown) {
  session.controls = shown.Controls;
  session.file.CurrentTrack = shown.CurrentTrack;
  session.file.LoadState = shown.LoadState;
  session.decoder = std::move(shown.Decoder);
  session.file.TrackReportFlags = shown.ReportFlags;
  session.report.TakeBack(shown.ReportWritten);
  session.NotesDatMade = shown.NotesDatMade;
  Toolkit& ui = session.ui;
  ui.SetText(Control::Text2, shown.Text2);
  ui.SetText(Control::Text6, shown.Text6);
  ui.SetText(Control::Combo1, PlainNumber(shown.CurrentTrack));
  PutListShownBack(session, std::move(shown.List));
  ShowControls(session);
}

}  // namespace

bool Combo1Click(Session& session, int selected_index, bool stoppable) {
  // A chooser that was just emptied reports no selection; there is nothing to decode then.
  if (!session.file.FileLoaded || selected_index < 0) return true;
  std::optional<TrackShown> before;
  if (stoppable) before = TakeTrackShown(session);
  session.controls.FileCommands = true;
  session.controls.Notes = true;
  session.controls.SaveTrack = false;
  ClearEventList(session);
  session.file.CurrentTrack = selected_index + 1;
  ShowControls(session);
  if (!DecodeTrack(session, stoppable)) {
    PutTrackShownBack(session, std::move(*before));
    session.ui.SetStatusText("Cancelled");
    return false;
  }
  if (session.file.LoadState == kLoadFailed) Block(session, 0);
  return true;
}

}  // namespace quavert
