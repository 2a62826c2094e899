#include "cli/companion.h"

#include "commands/load_driver.h"
#include "commands/track_decoder.h"
#include "commands/track_selection.h"

namespace quavert::cli {

Companion::Companion(std::ostream& stream, const Options& options)
    : out(stream), ui(stream, options.AnswerYes), session(folder.Path(), ui, media) {}

bool Companion::Open(const std::string& path) {
  OpenMidiFile(session, path);
  return TrackDecoded();
}

bool Companion::ChooseTrack(long track) {
  if (track == 1) return TrackDecoded();
  if (track > session.tracks.TrackCount) {
    out << "message: " << session.file.ShortName << " has no track " << track << '\n';
    return false;
  }
  Combo1Click(session, static_cast<int>(track - 1));
  return TrackDecoded();
}

bool Companion::TrackDecoded() const { return session.file.FileLoaded && session.controls.FileCommands; }

}  // namespace quavert::cli
