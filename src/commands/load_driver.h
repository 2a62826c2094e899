#pragma once

#include <string>

namespace quavert {

struct Session;

/// The Open command. An empty `path` asks the user with the open dialog; otherwise the path is
/// opened as if chosen there. The outcome is left in LoadState and FileLoaded: a failed load
/// has shown its message and disabled the file commands; no file can end the program.
/// The user may stop the decode of the new file's first track with Esc: the file before is then
/// back as it was (file_before.h), the status bar says "Cancelled", and the result is false.
bool OpenMidiFile(Session& session, const std::string& path);

}  // namespace quavert
