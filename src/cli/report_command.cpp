#include "cli/companion.h"
#include "common/file_system.h"
#include "common/run_error.h"

namespace quavert::cli {
namespace {

// The report wants each row's line, which the listing writes itself, and not the rows.
class UnkeptRows final : public ListedRows {
 public:
  void Row(std::int64_t, const ListRowTexts&) override {}
};

// Lists the current track; the disk takes its report lines while the next track is read.
void ListAndSync(Companion& companion) {
  UnkeptRows rows;
  BuildList(companion, &rows);
  companion.session.report.StartSync();
}

// Lists track 1, then decodes and lists every other track in turn as the track chooser and
// "Notes..." do, so that each one's lines reach the report. The report is put on disk before it
// replaces the destination; most of it goes while the tracks are still being listed.
void VisitTracks(Companion& companion) {
  ListAndSync(companion);
  for (long track = 2; track <= companion.session.tracks.TrackCount; ++track)
    if (companion.ChooseTrack(track)) ListAndSync(companion);
}

}  // namespace

int Report(const Options& options, std::ostream& out) {
  Companion companion(out, options);
  const std::string& path = options.Files.front();
  const bool decoded = companion.Open(path);
  if (!companion.session.file.FileLoaded) return 1;

  VisitTracks(companion);

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
