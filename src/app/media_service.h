#pragma once

#include <string>
#include <string_view>

namespace quavert {

/// Something that plays a file when sent media command strings ("Open ...", "Play ... from 0
/// to 960 notify", "Status REDevid1 mode"). The window uses the synthesizer; tests record.
class MediaService {
 public:
  virtual ~MediaService() = default;
  /// Carries out one command. A query's answer goes to `reply`. Returns 0 on success,
  /// otherwise an error code that ErrorText explains.
  virtual int SendString(std::string_view command, std::string& reply) = 0;
  /// The text of an error code returned by SendString.
  virtual std::string ErrorText(int code) = 0;
};

/// Alias of the one media device the program opens.
inline constexpr const char* kDeviceAlias = "REDevid1";

}  // namespace quavert
