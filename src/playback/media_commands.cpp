#include "playback/media_commands.h"

#include "common/number_text.h"
#include "session/session.h"

namespace quavert {
namespace {

// Window style of a child window, named in every open.
constexpr std::int64_t kChildStyle = 1073741824;

}  // namespace

std::string ShortPathOf(std::string_view path) { return std::string(path); }

std::string CommandPath(std::string_view path) {
  if (path.find(' ') == std::string_view::npos) return std::string(path);
  return "\"" + std::string(path) + "\"";
}

std::int32_t SendMediaCommand(Session& session, std::string_view command, std::string& reply) {
  reply.clear();
  session.player.LastMciError = session.media.SendString(command, reply);
  return session.player.LastMciError;
}

void MciOpen(Session& session, std::string& path, std::string_view alias) {
  path = ShortPathOf(path);
  const std::string command = "Open " + CommandPath(path) + " type MPEGVideo Alias " + std::string(alias) +
                              " parent " + PlainNumber(session.ui.MediaFrameHandle()) + " Style " +
                              PlainNumber(kChildStyle) + " notify";
  std::string reply;
  SendMediaCommand(session, command, reply);
}

void MciClose(Session& session, std::string_view alias) {
  std::string reply;
  if (SendMediaCommand(session, "Close " + std::string(alias) + " notify", reply) == 0) session.player.Playing = false;
}

void MciPutWindow(Session& session, std::string_view alias, int x, int y, int& width, int& height) {
  int frame_width = 0;
  int frame_height = 0;
  session.ui.MediaFrameSize(frame_width, frame_height);
  if (width == 0) width = frame_width;
  if (height == 0) height = frame_height;
  const std::string command = "Put " + std::string(alias) + " window at " + PlainNumber(x) + " " + PlainNumber(y) +
                              " " + PlainNumber(width) + " " + PlainNumber(height) + " notify";
  std::string reply;
  SendMediaCommand(session, command, reply);
}

}  // namespace quavert
