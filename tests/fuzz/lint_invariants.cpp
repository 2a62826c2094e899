#include "fuzz/lint_invariants.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>

#include "app/recording_media_service.h"
#include "app/recording_toolkit.h"
#include "app/session.h"
#include "commands/load_driver.h"
#include "commands/track_decoder.h"
#include "commands/track_selection.h"
#include "common/binary_file.h"
#include "common/file_system.h"
#include "decoding/decode_messages.h"
#include "lint/lint.h"
#include "lint/rmid.h"
#include "support/midi_bytes.h"

namespace quavert::fuzz {
namespace {

constexpr const char* kLintName = "lint.mid";

// A question counts as a failure: the two repairable damages (a status byte missing after a tempo,
// a time signature of 0 clocks) ask one, and lint calls them errors (missing-status, time-signature).
//
// Errors of the lint that a load and decode without a word may have, because the program is more
// lenient than the lint there:
// - track-count: the load takes the count of track chunks it finds;
// - chunk-overrun: a track cut by the end of the file is read to the file's end, and then the
//   walk checks no end of track there (missing-end-of-track in such a track);
// - data-after-end-of-track: the walk looks only at a chunk's last three bytes, the decoder stops
//   at the first end of track;
// - missing-status, system-common: the decoder passes a stray byte (it asks only about the one
//   after a tempo);
// - vlq-too-long: the decoder takes the last byte of a variable-length number whole;
// - data-byte: the decoder keeps data bytes of 128 and more, and passes a cut controller (only a
//   program change above 127 stops it);
// - meta-length: a meta event longer than the decoder needs (a shorter one stops it);
// - key-signature: any key signature is shown;
// - format at offset 8: the load reads only the low byte of the format;
// - anything after the first chunk that is no track: the load's walk ends there.
const std::set<std::string> kLenientCodes = {"track-count",   "chunk-overrun", "data-after-end-of-track",
                                             "missing-status", "system-common", "vlq-too-long",
                                             "data-byte",      "meta-length",   "key-signature"};

// Failures of the program the lint only warns about: the load's limit of 72 tracks (which a
// short tail of bytes, counted as a track, may cross), an SMPTE division, an unknown meta type,
// and the track the load makes of fewer than 8 bytes after the last chunk (its decode runs out).
bool WarnedAbout(const std::string& failure, const std::set<std::string>& warnings) {
  if (failure == "ERROR: Too many notes for array")
    return warnings.contains("too-many-tracks") || warnings.contains("trailing-bytes");
  if (failure.ends_with(": Invalid Number of Delta Ticks")) return warnings.contains("division-smpte");
  if (failure.starts_with("Invalid byte:")) return warnings.contains("unknown-meta");
  if (failure == kUnexpectedEndOfTrack) return warnings.contains("trailing-bytes");
  return false;
}

// What the program makes of the file: the message that ended a load or a decode, and every question.
struct ProgramVerdict {
  bool clean = true;
  std::vector<std::string> failures;
};

ProgramVerdict RunProgram(const RoadFolders& folders, const std::string& path) {
  RecordingToolkit ui;
  RecordingMediaService media;
  Session session(folders.App, ui, media);
  ProgramVerdict verdict;
  auto take = [&](std::size_t first) {
    for (std::size_t i = first; i < ui.Messages.size(); ++i)
      if (ui.Messages[i].ButtonSet == Buttons::kYesNo) {
        verdict.clean = false;
        verdict.failures.push_back(ui.Messages[i].Text);
      }
    if (ui.IsEnabled(Control::mnuSave)) return;
    verdict.clean = false;
    verdict.failures.push_back(ui.Messages.size() > first ? ui.Messages.back().Text : "");
  };
  OpenMidiFile(session, path);
  take(0);
  const int tracks = static_cast<int>(ui.ComboItems.size());
  for (int index = 1; index < tracks; ++index) {
    const std::size_t first = ui.Messages.size();
    Combo1Click(session, index);
    take(first);
  }
  return verdict;
}

}  // namespace

std::vector<std::string> CheckLint(const RoadFolders& folders, std::string_view input) {
  const std::string path = JoinPath(folders.User, kLintName);
  testing::WriteFileBytes(path, input);
  std::vector<std::string> faults;
  std::vector<Problem> problems;
  std::int64_t format_high_byte = 8;  // offset of the format's high byte: inside an RMID file, further on
  try {
    problems = LintFile(path);
    BinaryFile file(path, BinaryFile::Mode::kRead);
    std::optional<RiffProblem> riff;
    format_high_byte = FindMidiData(file, riff).first - 1 + 8;
  } catch (const std::exception& failure) {
    faults.push_back(std::string("lint failed: ") + failure.what());
  }
  const ProgramVerdict program = RunProgram(folders, path);
  std::filesystem::remove(path);
  if (!faults.empty()) return faults;

  std::set<std::string> warnings;
  std::vector<const Problem*> errors;
  std::int64_t walk_end = static_cast<std::int64_t>(input.size());  // where the load's walk stops
  std::set<int> cut_tracks;
  for (const Problem& problem : problems) {
    if (problem.offset < 0 || problem.offset > static_cast<std::int64_t>(input.size()))
      faults.push_back("lint named offset " + std::to_string(problem.offset) + " outside the file");
    if (problem.severity == Severity::kWarning) warnings.insert(problem.code);
    else errors.push_back(&problem);
    if (problem.code == "foreign-chunk" || problem.code == "trailing-bytes")
      walk_end = std::min(walk_end, problem.offset);
    if (problem.code == "chunk-overrun" && problem.track) {
      cut_tracks.insert(*problem.track);
      // A length of 16 MiB or more: the walk takes only its low three bytes, so lint and load
      // no longer see the same chunks.
      if (input[static_cast<std::size_t>(problem.offset)] != 0) return faults;
    }
  }

  if (program.clean) {
    for (const Problem* error : errors) {
      const bool lenient = kLenientCodes.contains(error->code) || (error->code == "format" && error->offset == format_high_byte) ||
                           (error->code == "missing-end-of-track" && error->track && cut_tracks.contains(*error->track)) ||
                           error->offset > walk_end;
      if (!lenient)
        faults.push_back("lint finds " + error->code + " at " + std::to_string(error->offset) + " (" + error->message +
                         ") in a file that loads and decodes cleanly");
    }
  } else if (errors.empty()) {
    for (const std::string& failure : program.failures)
      if (!WarnedAbout(failure, warnings))
        faults.push_back("lint finds no error in a file the program stops at: " + failure);
  }
  return faults;
}

}  // namespace quavert::fuzz
