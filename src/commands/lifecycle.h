#pragma once

#include <functional>
#include <string>

#include "common/app_folder.h"

namespace quavert {

struct Session;

/// The folder of the reports, in the application folder.
inline constexpr const char* kLogsFolderName = "logs";

/// Start-up once the window exists: creates the logs folder, clears the working-file flags,
/// sets up the event list's five columns, reads the settings file (creating it when missing) and
/// opens `start_file` when one is given (saying "NAME does not exist" when it does not, and
/// keeping the remembered file remembered), else the remembered file, as if the user had chosen it. Never throws and never ends the
/// program: a failure other than a missing or inaccessible file shows "Error:" and its number,
/// and start-up goes on with the next step.
void FormLoad(Session& session, const std::string& start_file = {});

/// Shutdown: closes the media device, calls `unhook` to take the hook off the media frame, closes
/// every file, and deletes the working copy and the working files this run made (only once a
/// file was loaded). A step that fails is passed over; nothing is reported while closing.
void End1(Session& session, const std::function<void()>& unhook);

/// Writes LastOpenedPath and a line end, then the view settings' lines, as the settings file's
/// whole content. A settings file
/// that cannot be written is left as it is, without a message.
void WriteSettings(Session& session);

/// The remembered path: the settings file's first line without its line end. "" when the file
/// is empty, unreadable, or its first line holds a NUL byte. RunError 53 when it does not exist.
std::string ReadSettings(const std::string& path);

}  // namespace quavert
