#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/media_service.h"
#include "playback/fluid_setup.h"

namespace quavert {

/// How a command that ended in "notify" came to its end.
enum class NotifyResult {
  kSuccessful,  ///< done; for "Play", playback reached its end position
  kSuperseded,  ///< a later "Play" took over before the end
  kAborted,     ///< "Pause", "Stop" or "Close" ended playback before the end
};

/// Told once about every "... notify" command that succeeded, when it is done. Most are done
/// before SendString returns and are told on the caller's thread, after it. "Play" is done when
/// playback reaches its end, which FluidSynth's audio thread notices: the callback is then
/// called on that thread while the service holds its lock, so it must only pass the news on
/// (post an event) and must never call the service.
using NotifyCallback = std::function<void(NotifyResult)>;

/// Plays MIDI files with FluidSynth behind the media command strings the program sends:
/// "Open PATH type MPEGVideo Alias A parent N Style N notify" (a path with blanks quoted),
/// "Set A time format frames" (frames are ticks), "Status A length|position|mode",
/// "Play A from T to T notify", "Pause A notify", "Stop A notify" (back to tick 0),
/// "Seek A to T" (playback goes on from tick T; paused, it resumes there),
/// "Put A window at X Y W H notify" (accepted; there is no window) and "Close A notify".
/// Keywords are taken in any case. One device is open at a time. The FluidSynth library, the
/// synthesizer and its SoundFont are loaded by the first successful open and kept; the sound card
/// or audio file is open from "Open" to "Close". Return codes are those of MediaError; when the
/// library cannot be loaded, "Open" is kSynthUnavailable and ErrorText names the library.
class FluidMediaService final : public MediaService {
 public:
  explicit FluidMediaService(FluidSetup setup, NotifyCallback notify = {});
  /// Closes an open device without telling anyone.
  ~FluidMediaService() override;
  FluidMediaService(const FluidMediaService&) = delete;
  FluidMediaService& operator=(const FluidMediaService&) = delete;

  /// Carries out one command; never throws (an unexpected failure is kPlayerFailure).
  int SendString(std::string_view command, std::string& reply) override;
  std::string ErrorText(int code) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quavert
