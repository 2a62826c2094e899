#pragma once

#include "app/media_service.h"

namespace quavert::cli {

/// The media service of the command-line companion, which never plays: every command succeeds
/// and every query answers 0.
class SilentMediaService : public MediaService {
 public:
  int SendString(std::string_view command, std::string& reply) override;
  std::string ErrorText(int code) override;
};

}  // namespace quavert::cli
