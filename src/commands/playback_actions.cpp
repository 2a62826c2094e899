#include "commands/playback_actions.h"

#include <string>

#include "app/media_command_parser.h"
#include "app/media_service.h"
#include "app/session.h"
#include "commands/media_commands.h"
#include "common/number_text.h"

namespace quavert {
namespace {

constexpr std::string_view kStoppedMode = "stopped";

void EnablePauseAndStop(Session& session, bool enabled) {
  session.controls.PauseStop = enabled;
  ShowControls(session);
}

void EnablePlay(Session& session) {
  session.controls.Play = true;
  ShowControls(session);
}

// Plays from the device's current position to the end; true when the device took it.
bool Resume(Session& session) {
  std::string to(kTheEnd);
  MciPlay(session, kDeviceAlias, PlainNumber(MciPosition(session, kDeviceAlias)), to);
  return session.player.LastMciError == 0;
}

// A command the device refused changed nothing on it: say why, and leave Pause and Stop
// enabled only while something really plays.
void AfterRefusal(Session& session) {
  session.ui.SetStatusText(MciErrorText(session, session.player.LastMciError));
  EnablePauseAndStop(session, session.player.Playing && !session.player.Paused);
}

}  // namespace

void PlayAction(Session& session) {
  session.ui.SetBusy(true);
  EnablePauseAndStop(session, true);
  if (session.player.Paused) {
    if (Resume(session)) session.player.Paused = false;
  } else {
    std::string to(kTheEnd);
    MciPlay(session, kDeviceAlias, "0", to);
  }
  if (session.player.LastMciError != 0) AfterRefusal(session);
  session.ui.SetBusy(false);
}

void PauseAction(Session& session) {
  session.ui.SetBusy(true);
  EnablePauseAndStop(session, false);
  EnablePlay(session);
  if (session.player.Paused) {
    Resume(session);
  } else {
    MciPause(session, kDeviceAlias);
  }
  if (session.player.LastMciError == 0) {
    session.player.Paused = !session.player.Paused;
  } else {
    AfterRefusal(session);
  }
  session.ui.SetBusy(false);
}

void StopAction(Session& session) {
  session.ui.SetBusy(true);
  EnablePauseAndStop(session, false);
  MciStop(session, kDeviceAlias);
  if (session.player.LastMciError != 0) AfterRefusal(session);
  session.ui.SetBusy(false);
}

void PlayFromAction(Session& session, std::int64_t tick) {
  session.ui.SetBusy(true);
  EnablePauseAndStop(session, true);
  std::string to(kTheEnd);
  MciPlay(session, kDeviceAlias, PlainNumber(tick), to);
  if (session.player.LastMciError == 0) {
    session.player.Paused = false;
  } else {
    AfterRefusal(session);
  }
  session.ui.SetBusy(false);
}

void SeekAction(Session& session, std::int64_t tick) {
  std::string reply;
  SendMediaCommand(session, "Seek " + std::string(kDeviceAlias) + " to " + PlainNumber(tick), reply);
  if (session.player.LastMciError != 0) {
    session.ui.SetStatusText(MciErrorText(session, session.player.LastMciError));
    return;
  }
  // Not playing, the device now rests at the new place, and Play goes on from there as after
  // a pause.
  if (!session.player.Playing || session.player.Paused) {
    session.player.Paused = true;
    EnablePlay(session);
  }
}

std::optional<std::int64_t> PlayedTick(Session& session) {
  if (!session.player.Playing && !session.player.Paused) return std::nullopt;
  std::string reply;
  if (session.media.SendString("Status " + std::string(kDeviceAlias) + " position", reply) != 0) return std::nullopt;
  const std::optional<std::int64_t> tick = WholeNumber(ReplyText(reply));
  if (!tick || *tick < 0) return std::nullopt;
  return tick;
}

void Timer1Tick(Session& session) {
  if (!session.player.Playing) return;
  // The poll keeps LastMciError as the last command left it.
  std::string reply;
  if (session.media.SendString("Status " + std::string(kDeviceAlias) + " mode", reply) != 0) return;
  if (ReplyText(reply) != kStoppedMode) return;
  EnablePauseAndStop(session, false);
  session.player.Playing = false;
}

}  // namespace quavert
