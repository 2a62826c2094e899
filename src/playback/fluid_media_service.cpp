#include "playback/fluid_media_service.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <vector>

#include "app/media_command_parser.h"
#include "app/media_errors.h"
#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "common/file_system.h"
#include "common/number_text.h"
#include "common/run_error.h"
#include "playback/fluid_library.h"
#include "playback/fluid_output.h"
#include "timeline/midi_length.h"

namespace quavert {
namespace {

enum class Mode { kStopped, kPlaying, kPaused };

std::string ModeName(Mode mode) {
  switch (mode) {
    case Mode::kPlaying: return "playing";
    case Mode::kPaused: return "paused";
    case Mode::kStopped: break;
  }
  return "stopped";
}

// One open device: the file as it was when opened, and where playback stands in it.
struct Device {
  std::string Alias;
  std::string Bytes;                  // the whole file, handed to every new player
  std::int64_t Length = 0;            // ticks
  Mode State = Mode::kStopped;
  std::int64_t Position = 0;          // ticks; follows the player while it plays
  std::int64_t PlayTo = 0;            // the tick where the running play ends
  bool PlayNotify = false;            // the running play wants to be told how it ended
  fluid_player_t* Player = nullptr;   // a player exists only for one play
  std::unique_ptr<AudioOutput> Output;
};

// What "Open" asks for, or the code of what is wrong with it.
struct OpenRequest {
  std::string Path;
  std::string Alias;
  int Code = kMediaOk;
};

OpenRequest ReadOpenRequest(const MediaCommand& command) {
  OpenRequest request{command.Device, command.Device, kMediaOk};
  const std::vector<std::string>& words = command.Words;
  for (std::size_t i = 0; i < words.size(); i += 2) {
    const bool has_value = i + 1 < words.size();
    if (SameWord(words[i], "type") || SameWord(words[i], "alias")) {
      if (!has_value) return {{}, {}, kUnknownWord};
      if (SameWord(words[i], "alias")) request.Alias = words[i + 1];
    } else if (SameWord(words[i], "parent") || SameWord(words[i], "style")) {
      if (!has_value || !WholeNumber(words[i + 1])) return {{}, {}, kBadNumber};
    } else {
      return {{}, {}, kUnknownWord};
    }
  }
  if (request.Path.empty()) request.Code = kFileMissing;
  return request;
}

// True when the command's words are exactly `expected`, letters in any case.
bool WordsAre(const MediaCommand& command, std::initializer_list<std::string_view> expected) {
  return std::equal(command.Words.begin(), command.Words.end(), expected.begin(), expected.end(),
                    [](const std::string& word, std::string_view want) { return SameWord(word, want); });
}

}  // namespace

struct FluidMediaService::Impl {
  Impl(FluidSetup chosen, NotifyCallback callback)
      : setup(std::move(chosen)), notify(std::move(callback)), library(setup.Library) {}

  FluidSetup setup;
  NotifyCallback notify;
  FluidLibrary library;
  const FluidFunctions* fluid = nullptr;  // loaded by the first open that gets as far as the synthesizer
  // Held while the synthesizer renders a block and while a command touches the synthesizer,
  // its player or the device: FluidSynth must not render while a player is deleted.
  std::mutex render_lock;
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  bool sound_font_loaded = false;
  std::optional<Device> device;
  // Why the last open failed: commands for that alias say so rather than just "not open".
  std::string refused_alias;
  int refused_code = kMediaOk;

  ~Impl() {
    std::vector<NotifyResult> untold;
    CloseDevice(untold);
    if (synth != nullptr) fluid->delete_fluid_synth(synth);
    if (settings != nullptr) fluid->delete_fluid_settings(settings);
  }

  int Carry(const MediaCommand& command, std::string& reply, std::vector<NotifyResult>& notices) {
    if (command.Verb == "open") return Open(command, notices);
    if (command.Verb.empty() || !IsKnownVerb(command.Verb)) return kUnknownCommand;
    if (!device || !SameWord(command.Device, device->Alias))
      return refused_code != kMediaOk && SameWord(command.Device, refused_alias) ? refused_code : kDeviceNotOpen;
    if (command.Verb == "close") return Close(command, notices);
    const std::lock_guard<std::mutex> hold(render_lock);
    if (command.Verb == "play") return Play(command, notices);
    if (command.Verb == "pause") return Pause(command, notices);
    if (command.Verb == "stop") return Stop(command, notices);
    if (command.Verb == "seek") return Seek(command, notices);
    if (command.Verb == "set") return Set(command, notices);
    if (command.Verb == "put") return Put(command, notices);
    return Status(command, reply, notices);
  }

  static bool IsKnownVerb(const std::string& verb) {
    static constexpr std::array<std::string_view, 8> kVerbs = {"close", "play", "pause", "stop",
                                                               "seek", "set", "put", "status"};
    return std::find(kVerbs.begin(), kVerbs.end(), verb) != kVerbs.end();
  }

  // A command that is done as soon as it returns: tell so, when it asked.
  static int Done(const MediaCommand& command, std::vector<NotifyResult>& notices) {
    if (command.Notify) notices.push_back(NotifyResult::kSuccessful);
    return kMediaOk;
  }

  int Open(const MediaCommand& command, std::vector<NotifyResult>& notices) {
    if (device) return kDeviceAlreadyOpen;
    const OpenRequest request = ReadOpenRequest(command);
    if (request.Code != kMediaOk) return request.Code;
    refused_alias = request.Alias;
    refused_code = OpenDevice(request);
    if (refused_code != kMediaOk) return refused_code;
    return Done(command, notices);
  }

  int OpenDevice(const OpenRequest& request) {
    Device opened;
    opened.Alias = request.Alias;
    if (const int code = ReadFile(request.Path, opened); code != kMediaOk) return code;
    if (const int code = StartSynth(); code != kMediaOk) return code;
    // No device means no output: nothing renders while the synthesizer is set up or the
    // output opens, and the lock must not be held while an audio thread starts.
    // The audio file takes only what is played, not the silence in between.
    opened.Output = setup.AudioFile.empty()
                        ? OpenSoundCard(*fluid, settings, synth, render_lock)
                        : OpenAudioFile(*fluid, settings, synth, render_lock, setup.AudioFile,
                                        [this] { return device && device->State == Mode::kPlaying; });
    if (!opened.Output) return kNoAudioOutput;
    const std::lock_guard<std::mutex> hold(render_lock);
    device = std::move(opened);
    return kMediaOk;
  }

  static int ReadFile(const std::string& path, Device& opened) {
    if (!FileExists(path)) return kFileMissing;
    try {
      BinaryFile file(path, BinaryFile::Mode::kRead);
      const std::int64_t size = file.Length();
      if (size > kLargestPlayableFile) return kFileTooLarge;
      // FluidSynth counts ticks in an int.
      opened.Length = std::min<std::int64_t>(MidiLengthInTicks(file), INT_MAX);
      ByteReader reader(file, 1, size);
      opened.Bytes = reader.Bytes(size);
      HideEscapes(opened.Bytes, EscapeEvents(file));  // else FluidSynth refuses the whole file
    } catch (const RunError&) {
      return kFileMissing;
    } catch (const ReadPastLimit&) {
      return kFileMissing;  // the file shrank while it was read
    }
    return kMediaOk;
  }

  int StartSynth() {
    if (setup.SoundFont.empty() || !FileExists(setup.SoundFont)) return kNoSoundFont;
    if (fluid == nullptr) fluid = library.Functions();
    if (fluid == nullptr) return kSynthUnavailable;
    if (settings == nullptr) settings = fluid->new_fluid_settings();
    if (settings == nullptr) return kSynthUnavailable;
    if (synth == nullptr) synth = fluid->new_fluid_synth(settings);
    if (synth == nullptr) return kSynthUnavailable;
    if (!sound_font_loaded)
      sound_font_loaded = fluid->fluid_synth_sfload(synth, setup.SoundFont.c_str(), 1) != FLUID_FAILED;
    return sound_font_loaded ? kMediaOk : kSoundFontUnusable;
  }

  int Close(const MediaCommand& command, std::vector<NotifyResult>& notices) {
    if (!command.Words.empty()) return kUnknownWord;
    CloseDevice(notices);
    return Done(command, notices);
  }

  void CloseDevice(std::vector<NotifyResult>& notices) {
    std::unique_ptr<AudioOutput> output;
    {
      const std::lock_guard<std::mutex> hold(render_lock);
      if (!device) return;
      EndPlay(NotifyResult::kAborted, notices);
      fluid->fluid_synth_all_sounds_off(synth, -1);
      output = std::move(device->Output);
      device.reset();
    }
    // Stopping the output waits for its thread, which may be waiting for the lock.
    output.reset();
  }

  // Ends the running play, if any, and tells how, when it asked. Called with the lock held.
  void EndPlay(NotifyResult how, std::vector<NotifyResult>& notices) {
    if (device->Player != nullptr) {
      fluid->fluid_player_stop(device->Player);
      fluid->delete_fluid_player(device->Player);
      device->Player = nullptr;
      fluid->fluid_synth_all_notes_off(synth, -1);
    }
    if (device->State == Mode::kPlaying && device->PlayNotify) notices.push_back(how);
    device->PlayNotify = false;
    if (device->State == Mode::kPlaying) device->State = Mode::kStopped;
  }

  int Play(const MediaCommand& command, std::vector<NotifyResult>& notices) {
    std::int64_t from = device->Position;
    std::int64_t to = device->Length;
    const std::vector<std::string>& words = command.Words;
    for (std::size_t i = 0; i < words.size(); i += 2) {
      const bool is_from = SameWord(words[i], "from");
      if (!is_from && !SameWord(words[i], "to")) return kUnknownWord;
      const std::optional<std::int64_t> tick = i + 1 < words.size() ? WholeNumber(words[i + 1]) : std::nullopt;
      if (!tick) return kBadNumber;
      (is_from ? from : to) = *tick;
    }
    if (from < 0 || from > to || to > device->Length) return kOutOfRange;

    EndPlay(NotifyResult::kSuperseded, notices);
    // Whatever the last play left in the channels must not colour this one; the player's
    // seek plays the file's settings up to the start again.
    fluid->fluid_synth_system_reset(synth);
    device->State = Mode::kStopped;
    device->Position = from;
    if (from == to) return Done(command, notices);

    fluid_player_t* player = fluid->new_fluid_player(synth);
    if (player == nullptr) return kPlayerFailure;
    fluid->fluid_player_set_tick_callback(player, &Impl::OnTick, this);
    if (fluid->fluid_player_add_mem(player, device->Bytes.data(), device->Bytes.size()) != FLUID_OK ||
        fluid->fluid_player_seek(player, static_cast<int>(from)) != FLUID_OK ||
        fluid->fluid_player_play(player) != FLUID_OK) {
      fluid->delete_fluid_player(player);
      return kPlayerFailure;
    }
    device->Player = player;
    device->State = Mode::kPlaying;
    device->PlayTo = to;
    device->PlayNotify = command.Notify;
    return kMediaOk;
  }

  // Called by the player on the audio thread, inside a block rendered with the lock held.
  static int OnTick(void* data, int tick) {
    auto* self = static_cast<Impl*>(data);
    Device& playing = *self->device;
    if (playing.State != Mode::kPlaying) return FLUID_OK;
    playing.Position = std::clamp<std::int64_t>(tick, 0, playing.Length);
    // FluidSynth's player ends seconds after the last tick, or never while a note hangs:
    // reaching the end position is the end.
    if (tick >= playing.PlayTo) {
      self->fluid->fluid_player_stop(playing.Player);
      playing.Position = playing.PlayTo;
      self->Finished(playing, nullptr);
    }
    return FLUID_OK;
  }

  // The running play has ended by itself. Called with the lock held; the audio thread has no
  // command to collect the news and tells it at once.
  void Finished(Device& playing, std::vector<NotifyResult>* notices) {
    playing.State = Mode::kStopped;
    if (playing.PlayNotify) {
      if (notices != nullptr) {
        notices->push_back(NotifyResult::kSuccessful);
      } else if (notify) {
        notify(NotifyResult::kSuccessful);
      }
    }
    playing.PlayNotify = false;
  }

  int Pause(const MediaCommand& command, std::vector<NotifyResult>& notices) {
    if (!command.Words.empty()) return kUnknownWord;
    if (device->State == Mode::kPlaying) {
      EndPlay(NotifyResult::kAborted, notices);
      device->State = Mode::kPaused;
    }
    return Done(command, notices);
  }

  int Stop(const MediaCommand& command, std::vector<NotifyResult>& notices) {
    if (!command.Words.empty()) return kUnknownWord;
    EndPlay(NotifyResult::kAborted, notices);
    device->State = Mode::kStopped;
    device->Position = 0;
    return Done(command, notices);
  }

  // Moves the place where playback stands: a running play goes on from there (the player takes
  // the new place with its next block), a paused or stopped one would resume from there.
  int Seek(const MediaCommand& command, std::vector<NotifyResult>& notices) {
    const std::vector<std::string>& words = command.Words;
    if (words.size() != 2 || !SameWord(words[0], "to")) return kUnknownWord;
    const std::optional<std::int64_t> tick = WholeNumber(words[1]);
    if (!tick) return kBadNumber;
    if (*tick < 0 || *tick > device->Length) return kOutOfRange;
    if (device->State == Mode::kPlaying) {
      if (fluid->fluid_player_seek(device->Player, static_cast<int>(*tick)) != FLUID_OK) return kPlayerFailure;
      fluid->fluid_synth_all_notes_off(synth, -1);
    }
    device->Position = *tick;
    return Done(command, notices);
  }

  // Frames are the only time format: they are ticks.
  static int Set(const MediaCommand& command, std::vector<NotifyResult>& notices) {
    return WordsAre(command, {"time", "format", "frames"}) ? Done(command, notices) : kUnknownWord;
  }

  static int Put(const MediaCommand& command, std::vector<NotifyResult>& notices) {
    const std::vector<std::string>& words = command.Words;
    constexpr std::size_t kPutWords = 6;  // window at X Y W H
    if (words.size() != kPutWords || !SameWord(words[0], "window") || !SameWord(words[1], "at")) return kUnknownWord;
    for (std::size_t i = 2; i < kPutWords; ++i)
      if (!WholeNumber(words[i])) return kBadNumber;
    return Done(command, notices);
  }

  int Status(const MediaCommand& command, std::string& reply, std::vector<NotifyResult>& notices) {
    if (WordsAre(command, {"length"})) {
      reply = PlainNumber(device->Length);
    } else if (WordsAre(command, {"position"})) {
      reply = PlainNumber(device->Position);
    } else if (WordsAre(command, {"mode"})) {
      // FluidSynth gives up on a file it cannot read: its player is done before any tick.
      if (device->State == Mode::kPlaying && fluid->fluid_player_get_status(device->Player) == FLUID_PLAYER_DONE)
        Finished(*device, &notices);
      reply = ModeName(device->State);
    } else {
      return kUnknownWord;
    }
    return kMediaOk;
  }
};

FluidMediaService::FluidMediaService(FluidSetup setup, NotifyCallback notify)
    : impl_(std::make_unique<Impl>(std::move(setup), std::move(notify))) {}

FluidMediaService::~FluidMediaService() = default;

int FluidMediaService::SendString(std::string_view command, std::string& reply) {
  reply.clear();
  try {
    std::vector<NotifyResult> notices;
    const int code = impl_->Carry(ParseMediaCommand(command), reply, notices);
    if (impl_->notify)
      for (NotifyResult notice : notices) impl_->notify(notice);
    return code;
  } catch (...) {
    return kPlayerFailure;
  }
}

std::string FluidMediaService::ErrorText(int code) {
  const std::string& missing = impl_->library.Problem();
  if (code == kSynthUnavailable && !missing.empty()) return "The synthesizer could not be started: " + missing + ".";
  return MediaErrorText(code);
}

}  // namespace quavert
