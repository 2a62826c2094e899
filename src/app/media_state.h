#pragma once

#include <cstdint>
#include <string>

namespace quavert {

/// The media flags, for the whole run.
struct MediaState {
  std::int32_t LastMciError = 0;  ///< return code of the last command sent; 0 success
  bool Playing = false;           ///< set by a successful play, cleared by stop, close and the poll
  bool Paused = false;            ///< toggled by Pause, cleared by Play when it resumes
  std::string OpenPath;           ///< the file the device has open; "" when none
};

}  // namespace quavert
