#pragma once

#include <string>

namespace quavert {

struct Session;

/// The Open command. An empty `path` asks the user with the open dialog; otherwise the path is
/// opened as if chosen there. The outcome is left in LoadState and FileLoaded: a failed load
/// has shown its message and disabled the file commands; no file can end the program.
void OpenMidiFile(Session& session, const std::string& path);

/// Loads file.MidiPath: name tables, working copy, header checks, chunk walk, report, track
/// chooser, then the file summary, which decodes track 1. Leaves LoadState 99 on failure.
void LoadMidiFile(Session& session);

}  // namespace quavert
