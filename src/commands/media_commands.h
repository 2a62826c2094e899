#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quavert {

struct Session;

/// The end marker MciPlay takes for its end position: the length of the file.
inline constexpr std::string_view kTheEnd = "TheEnd";

/// The short form of a path. Linux has none, so the path comes back unchanged.
std::string ShortPathOf(std::string_view path);

/// A path as it stands in a command string: quoted when it contains a blank.
std::string CommandPath(std::string_view path);

/// Opens `path` on the device `alias`. `path` is first replaced, in the caller's variable, by
/// its short form. "Open PATH type MPEGVideo Alias ALIAS parent HANDLE Style 1073741824 notify".
/// When the device refuses, its error text goes to the status bar.
void MciOpen(Session& session, std::string& path, std::string_view alias);

/// "Close ALIAS notify"; a successful close ends playing.
void MciClose(Session& session, std::string_view alias);

/// "Pause ALIAS notify".
void MciPause(Session& session, std::string_view alias);

/// "Play ALIAS from FROM to TO notify"; a successful play sets Playing. A `to` of "TheEnd" is
/// first replaced, in the caller's variable, by MciLength (which may make it "-1").
void MciPlay(Session& session, std::string_view alias, std::string_view from, std::string& to);

/// "Stop ALIAS notify"; a successful stop ends playing.
void MciStop(Session& session, std::string_view alias);

/// Places the device's window in the media frame: "Put ALIAS window at X Y W H notify".
/// A width or height of 0 is first replaced, in the caller's variable, by the frame's.
void MciPutWindow(Session& session, std::string_view alias, int x, int y, int& width, int& height);

/// Opens `path` on the device `alias` and places its window over the whole media frame, as
/// every change of the working copy does afterwards so that Play plays what is now on disk.
void MciOpenInFrame(Session& session, std::string path, std::string_view alias);

/// The length of the device's file in frames (ticks): "Set ALIAS time format frames", then
/// "Status ALIAS length". -1 when the query fails; the device's error text then goes to the
/// status bar.
std::int32_t MciLength(Session& session, std::string_view alias);

/// The device's position in the time format set before (MciLength sets frames):
/// "Status ALIAS position". -1 when the query fails, with the error text in the status bar.
std::int32_t MciPosition(Session& session, std::string_view alias);

/// The device's text for one of its return codes, up to its first NUL.
std::string MciErrorText(Session& session, std::int32_t code);

/// Sends one command and keeps its return code in LastMciError.
std::int32_t SendMediaCommand(Session& session, std::string_view command, std::string& reply);

/// A reply as the device meant it: the text before its first NUL.
std::string_view ReplyText(std::string_view reply);

}  // namespace quavert
