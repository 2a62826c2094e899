#include "cli/silent_media_service.h"

namespace quavert::cli {

int SilentMediaService::SendString(std::string_view command, std::string& reply) {
  reply.clear();
  if (command.rfind("Status ", 0) == 0) reply.push_back('0');
  return 0;
}

std::string SilentMediaService::ErrorText(int) { return {}; }

}  // namespace quavert::cli
