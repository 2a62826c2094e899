#include "app/recording_media_service.h"

#include "app/media_command_parser.h"

namespace quavert {

int RecordingMediaService::SendString(std::string_view command, std::string& reply) {
  const std::string key(command);
  Commands.push_back(key);
  // A seek the script lets succeed moves the position the device reports.
  const MediaCommand parsed = ParseMediaCommand(command);
  if (parsed.Verb == "seek" && parsed.Words.size() == 2 && !Codes.contains(key))
    Replies["Status " + parsed.Device + " position"] = parsed.Words[1];
  if (const auto it = Replies.find(key); it != Replies.end()) reply = it->second;
  const auto code = Codes.find(key);
  return code == Codes.end() ? 0 : code->second;
}

std::string RecordingMediaService::ErrorText(int code) { return "media error " + std::to_string(code); }

}  // namespace quavert
