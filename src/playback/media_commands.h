#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quavert {

struct Session;

/// The short form of a path. Linux has none, so the path comes back unchanged.
std::string ShortPathOf(std::string_view path);

/// A path as it stands in a command string: quoted when it contains a blank.
std::string CommandPath(std::string_view path);

/// Opens `path` on the device `alias`. `path` is first replaced, in the caller's variable, by
/// its short form. "Open PATH type MPEGVideo Alias ALIAS parent HANDLE Style 1073741824 notify".
void MciOpen(Session& session, std::string& path, std::string_view alias);

/// "Close ALIAS notify"; a successful close ends playing.
void MciClose(Session& session, std::string_view alias);

/// Places the device's window in the media frame: "Put ALIAS window at X Y W H notify".
/// A width or height of 0 is first replaced, in the caller's variable, by the frame's.
void MciPutWindow(Session& session, std::string_view alias, int x, int y, int& width, int& height);

/// Sends one command and keeps its return code in LastMciError.
std::int32_t SendMediaCommand(Session& session, std::string_view command, std::string& reply);

}  // namespace quavert
