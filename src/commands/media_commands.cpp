#include "commands/media_commands.h"


#include "app/session.h"
#include "common/number_text.h"
#include "common/run_error.h"

namespace quavert {
namespace {

// Window style of a child window, named in every open.
constexpr std::int64_t kChildStyle = 1073741824;

// What a query returns when the device could not answer.
constexpr std::int32_t kQueryFailed = -1;

// Sends a command that wants no answer.
std::int32_t SendNotifyCommand(Session& session, const std::string& command) {
  std::string reply;
  return SendMediaCommand(session, command, reply);
}

void ShowDeviceError(Session& session) {
  session.ui.SetStatusText(MciErrorText(session, session.player.LastMciError));
}

// The number a query answered, or -1 with the device's error text shown when it failed.
std::int32_t QueryResult(Session& session, const std::string& reply) {
  if (session.player.LastMciError != 0) {
    ShowDeviceError(session);
    return kQueryFailed;
  }
  try {
    return ToLong(LeadingNumber(ReplyText(reply)));
  } catch (const RunError&) {
    // A number that does not fit is no position the player can be sent back to.
    return kQueryFailed;
  }
}

}  // namespace

std::string ShortPathOf(std::string_view path) { return std::string(path); }

std::string CommandPath(std::string_view path) {
  std::string text(path);
  if (text.find(' ') != std::string::npos) {
    text.insert(text.begin(), '"');
    text.push_back('"');
  }
  return text;
}

std::string_view ReplyText(std::string_view reply) { return reply.substr(0, reply.find('\0')); }

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
  // Without a device nothing will play: say why now rather than leave Play silent.
  if (SendNotifyCommand(session, command) != 0) {
    ShowDeviceError(session);
    return;
  }
  session.player.OpenPath = path;
}

void MciClose(Session& session, std::string_view alias) {
  if (SendNotifyCommand(session, "Close " + std::string(alias) + " notify") != 0) return;
  session.player.Playing = false;
  session.player.OpenPath.clear();
}

void MciPause(Session& session, std::string_view alias) {
  SendNotifyCommand(session, "Pause " + std::string(alias) + " notify");
}

void MciPlay(Session& session, std::string_view alias, std::string_view from, std::string& to) {
  if (to == kTheEnd) to = PlainNumber(MciLength(session, alias));
  const std::string command =
      "Play " + std::string(alias) + " from " + std::string(from) + " to " + to + " notify";
  if (SendNotifyCommand(session, command) == 0) session.player.Playing = true;
}

void MciStop(Session& session, std::string_view alias) {
  if (SendNotifyCommand(session, "Stop " + std::string(alias) + " notify") == 0) session.player.Playing = false;
}

void MciPutWindow(Session& session, std::string_view alias, int x, int y, int& width, int& height) {
  int frame_width = 0;
  int frame_height = 0;
  session.ui.MediaFrameSize(frame_width, frame_height);
  if (width == 0) width = frame_width;
  if (height == 0) height = frame_height;
  SendNotifyCommand(session, "Put " + std::string(alias) + " window at " + PlainNumber(x) + " " + PlainNumber(y) +
                                 " " + PlainNumber(width) + " " + PlainNumber(height) + " notify");
}

void MciOpenInFrame(Session& session, std::string path, std::string_view alias) {
  MciOpen(session, path, alias);
  session.ui.DoEvents();
  int width = 0;
  int height = 0;
  MciPutWindow(session, alias, 0, 0, width, height);
}

std::int32_t MciLength(Session& session, std::string_view alias) {
  std::string reply;
  SendMediaCommand(session, "Set " + std::string(alias) + " time format frames", reply);
  SendMediaCommand(session, "Status " + std::string(alias) + " length", reply);
  return QueryResult(session, reply);
}

std::int32_t MciPosition(Session& session, std::string_view alias) {
  std::string reply;
  SendMediaCommand(session, "Status " + std::string(alias) + " position", reply);
  return QueryResult(session, reply);
}

std::string MciErrorText(Session& session, std::int32_t code) {
  return std::string(ReplyText(session.media.ErrorText(code)));
}

}  // namespace quavert
