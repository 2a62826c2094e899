#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/media_service.h"

namespace quavert {

/// A MediaService that keeps every command string it is sent and answers from scripts. A
/// successful "Seek ALIAS to TICKS" makes TICKS the answer to "Status ALIAS position", as a
/// device would.
class RecordingMediaService : public MediaService {
 public:
  std::vector<std::string> Commands;
  /// Replies by command string; a command not named here succeeds with an empty reply.
  std::map<std::string, std::string> Replies;
  /// Return codes by command string; a command not named here returns 0.
  std::map<std::string, int> Codes;

  int SendString(std::string_view command, std::string& reply) override;
  std::string ErrorText(int code) override;
};

}  // namespace quavert
