#include "playback/recording_media_service.h"

namespace quavert {

int RecordingMediaService::SendString(std::string_view command, std::string& reply) {
  const std::string key(command);
  Commands.push_back(key);
  if (const auto it = Replies.find(key); it != Replies.end()) reply = it->second;
  const auto code = Codes.find(key);
  return code == Codes.end() ? 0 : code->second;
}

std::string RecordingMediaService::ErrorText(int code) { return "media error " + std::to_string(code); }

}  // namespace quavert
