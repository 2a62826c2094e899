#include "cli/companion.h"
#include "commands/taken_rows.h"
#include "common/file_system.h"
#include "common/run_error.h"

namespace quavert::cli {
namespace {

// While it lives, every decode hands its rows to `rows` instead of notes.dat, which the report
// never reads: each track is listed as it is decoded.
class RowsTakenFromDecodes {
 public:
  explicit RowsTakenFromDecodes(Session& session) : session_(session), rows_(session) { session_.RowsTaker = &rows_; }
  ~RowsTakenFromDecodes() { session_.RowsTaker = nullptr; }
  RowsTakenFromDecodes(const RowsTakenFromDecodes&) = delete;
  RowsTakenFromDecodes& operator=(const RowsTakenFromDecodes&) = delete;

  TakenTrackRows& Rows() { return rows_; }

 private:
  Session& session_;
  TakenTrackRows rows_;
};

// Lists the current track, when it has rows, as "Notes..." would from the rows its decode
// gave; the disk takes its report lines while the next track is read.
void ListAndSync(Companion& companion, TakenTrackRows& rows) {
  if (companion.session.controls.Notes) ListTakenRows(companion.session, rows);
  companion.session.report.StartSync();
}

// Lists track 1, then decodes and lists every other track in turn as the track chooser and
// "Notes..." do, so that each one's lines reach the report. The report is put on disk before it
// replaces the destination; most of it goes while the tracks are still being listed.
void VisitTracks(Companion& companion, TakenTrackRows& rows) {
  ListAndSync(companion, rows);
  for (long track = 2; track <= companion.session.tracks.TrackCount; ++track)
    if (companion.ChooseTrack(track)) ListAndSync(companion, rows);
}

}  // namespace

int Report(const Options& options, std::ostream& out) {
  Companion companion(out, options);
  RowsTakenFromDecodes taken(companion.session);
  const std::string& path = options.Files.front();
  const bool decoded = companion.Open(path);
  if (!companion.session.file.FileLoaded) return 1;

  VisitTracks(companion, taken.Rows());

  Session& session = companion.session;
  if (!session.report.IsOpen()) {
    out << "message: no report was written\n";
    return 1;
  }
  std::string target = options.Out;
  try {
    session.report.Flush();
    if (target.empty()) {
      if (!FolderExists("logs")) MakeFolder("logs");
      target = JoinPath("logs", NameOf(session.report.Path()));
    }
    // The private folder goes at exit: its report is moved rather than copied when it can be.
    MoveFileSafely(session.report.Path(), target);
  } catch (const RunError& error) {
    out << "message: the report cannot be written to " << (target.empty() ? "logs" : target) << ": "
        << error.reason() << '\n';
    return 1;
  }
  out << "report: " << target << '\n';
  return decoded ? 0 : 1;
}

}  // namespace quavert::cli
