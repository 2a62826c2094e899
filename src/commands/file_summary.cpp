#include "commands/file_summary.h"

#include <string>

#include "app/session.h"
#include "commands/block.h"
#include "commands/track_decoder.h"
#include "common/number_text.h"
#include "common/run_error.h"

namespace quavert {
namespace {

constexpr const char* kCaption = " Quavert 0.15 - ";
constexpr const char* kReportNotice = "Quavert 0.15 - report of a MIDI file";
constexpr std::size_t kRuleWidth = 70;

std::string FormatTextOf(int format) {
  std::string text = "single";
  if (format > 0) text = "Multi";
  if (format == 2) text += " (independent)";
  return text;
}

// A file with no track chunk has nothing to decode: its decoder results are those of no track.
void ClearDecoderResults(Session& session) {
  DecoderState& decoder = session.decoder;
  decoder.LastEventIndex = -1;
  decoder.RowTicks = 0;
  decoder.FirstEventPos = -1;
  decoder.TempoPos = -1;
  decoder.TempoBpm = -1;
  decoder.SysexIndex = -1;
  session.controls.TempoLocked = true;
  ShowControls(session);
}

}  // namespace

bool ShowFileSummary(Session& session) {
  LoadedFile& file = session.file;
  Toolkit& ui = session.ui;

  session.decoder.TickMinutes = 0;
  WriteReportHeading(session);
  ui.SetText(Control::Text1, PlainNumber(file.FileSize));
  file.FormatText = FormatTextOf(file.FileFormat);
  ui.SetText(Control::Text3, PlainNumber(file.TotalTracks));
  ui.SetText(Control::Text4, file.FormatText);
  ui.SetText(Control::Text5, PlainNumber(file.DeltaTicks));
  if (!file.SummaryDone) {
    session.report.WriteLine("File Size   :" + SignedNumber(file.FileSize));
    session.report.WriteLine("Total Tracks:" + SignedNumber(file.TotalTracks));
    session.report.WriteLine("File Format : " + file.FormatText);
    session.report.WriteLine("Delta Ticks :" + SignedNumber(file.DeltaTicks));
    file.SummaryDone = true;
  }

  if (session.tracks.TrackCount == 0) {
    ClearDecoderResults(session);
  } else if (!DecodeTrack(session, true)) {
    return false;  // the user stopped the decode: the open is taken back
  }

  session.controls.Notes = session.decoder.LastEventIndex >= 0;
  ShowControls(session);
  if (file.LoadState == kLoadFailed) {
    Block(session, 0);
    file.LoadState = kLoadNormal;
  }
  return true;
}

void WriteReportHeading(Session& session) {
  session.ui.SetCaption(kCaption + session.file.MidiPath);
  if (!session.file.ReportHeadDone) {
    session.report.WriteLine(kReportNotice);
    session.report.WriteLine(std::string(kRuleWidth, '-'));
    session.report.WriteLine(session.file.ShortName);
  }
  session.file.ReportHeadDone = true;
}

void WriteTrackHeading(Session& session) {
  const int track = session.file.CurrentTrack;
  auto& flags = session.file.TrackReportFlags[0];
  if (track < 0 || track >= static_cast<int>(flags.size())) throw RunError(kIndexOutOfRange);
  bool& written = flags[static_cast<std::size_t>(track)];
  if (written) return;
  const std::string rule(kRuleWidth, kReportRule);
  session.report.WriteLine(rule);
  session.report.WriteLine("Track :" + SignedNumber(track));
  session.report.WriteLine("Length:" + SignedNumber(session.decoder.TrackLength));
  session.report.WriteLine(rule);
  written = true;
}

}  // namespace quavert
