#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <numbers>
#include <thread>

#include "editing/cell_edit.h"
#include "editing/event_list.h"
#include "loading/load_driver.h"
#include "playback/fluid_media_service.h"
#include "playback/media_commands.h"
#include "playback/media_errors.h"
#include "playback/playback_actions.h"
#include "support/midi_bytes.h"
#include "support/session_fixture.h"
#include "writing/save_track.h"

namespace quavert {
namespace {

using namespace std::chrono_literals;
using testing::Bytes;
using testing::Hex;
using testing::ReadFileBytes;
using testing::Smf;
using testing::Vlq;

// `value` in `size` bytes, least significant first.
std::string LittleEndian(std::uint32_t value, int size) {
  std::string out;
  for (int i = 0; i < size; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
  return out;
}
std::string Word(std::uint32_t value) { return LittleEndian(value, 2); }
std::string Dword(std::uint32_t value) { return LittleEndian(value, 4); }
// A name field of `size` bytes, padded with NULs.
std::string Name(std::string name, std::size_t size) { return name.resize(size, '\0'), name; }
std::string Chunk(std::string_view id, const std::string& body) {
  return std::string(id) + Dword(static_cast<std::uint32_t>(body.size())) + body + std::string(body.size() % 2, '\0');
}

// Generator operators and sample values of the SoundFont format.
constexpr std::uint32_t kInstrument = 41, kSampleId = 53, kSampleModes = 54, kLoopContinuously = 1;
constexpr std::uint32_t kSampleRate = 44100, kMonoSample = 1, kDrumBank = 128;
constexpr std::uint32_t kPeriod = 168;  // samples of one sine period: 262.5 Hz, about middle C
constexpr std::uint32_t kGuard = 46;    // zero samples the format wants after every sample
constexpr char kMiddleC = 60;

std::string Samples() {
  std::string out;
  for (std::uint32_t i = 0; i < kPeriod; ++i)
    out += Word(static_cast<std::uint16_t>(std::lround(30000.0 * std::sin(2 * std::numbers::pi * i / kPeriod))));
  return out + std::string(2 * kGuard, '\0');
}

std::string PresetData() {
  // The same sine as the first melodic preset and as the drum kit, so that no channel is mute.
  auto preset = [](const char* name, std::uint32_t bank, std::uint32_t bag) {
    return Name(name, 20) + Word(0) + Word(bank) + Word(bag) + Dword(0) + Dword(0) + Dword(0);
  };
  const std::string no_modulators(10, '\0');
  return Chunk("phdr", preset("Sine", 0, 0) + preset("Sine drums", kDrumBank, 1) + preset("EOP", 0, 2)) +
         Chunk("pbag", Word(0) + Word(0) + Word(1) + Word(0) + Word(2) + Word(0)) + Chunk("pmod", no_modulators) +
         Chunk("pgen", Word(kInstrument) + Word(0) + Word(kInstrument) + Word(0) + Word(0) + Word(0)) +
         Chunk("inst", Name("Sine", 20) + Word(0) + Name("EOI", 20) + Word(1)) +
         Chunk("ibag", Word(0) + Word(0) + Word(2) + Word(0)) + Chunk("imod", no_modulators) +
         Chunk("igen", Word(kSampleModes) + Word(kLoopContinuously) + Word(kSampleId) + Word(0) + Word(0) + Word(0)) +
         Chunk("shdr", Name("Sine", 20) + Dword(0) + Dword(kPeriod) + Dword(0) + Dword(kPeriod) + Dword(kSampleRate) +
                           kMiddleC + '\0' + Word(0) + Word(kMonoSample) + Name("EOS", 46));
}

// A SoundFont of one preset (bank 0, program 0) that plays a looped sine wave at full scale
// on every key: small enough to load in an instant, loud enough to measure.
std::string SineSoundFont() {
  const std::string info = Chunk("ifil", Word(2) + Word(1)) + Chunk("isng", Name("EMU8000", 8)) +
                           Chunk("INAM", Name("Quavert test sine", 18));
  const auto list = [](std::string_view type, const std::string& chunks) { return Chunk("LIST", std::string(type) + chunks); };
  return Chunk("RIFF", "sfbk" + list("INFO", info) + list("sdta", Chunk("smpl", Samples())) + list("pdta", PresetData()));
}

// The root mean square of the samples of a 16-bit PCM WAV file, full scale being 1; not a
// number (neither loud nor quiet) when the bytes hold no such samples.
double WavRms(std::string_view wav) {
  // The renderer writes 16-bit samples, and the data chunk last.
  const std::size_t data = wav.find("data");
  if (wav.substr(0, 4) != "RIFF" || data == std::string_view::npos || data + 10 > wav.size()) return std::nan("");
  double sum = 0;
  std::size_t count = 0;
  for (std::size_t at = data + 8; at + 1 < wav.size(); at += 2, ++count) {
    const auto bits = static_cast<std::uint16_t>(static_cast<std::uint8_t>(wav[at]) | static_cast<std::uint8_t>(wav[at + 1]) << 8);
    sum += std::pow(static_cast<std::int16_t>(bits) / 32768.0, 2);
  }
  return std::sqrt(sum / static_cast<double>(count));
}

// A format-0 file at 120 beats per minute and 480 ticks per quarter (960 ticks a second)
// playing `notes` notes of `ticks_each` ticks one after the other.
std::string NoteSequence(int notes, int ticks_each) {
  Bytes track;
  for (int i = 0; i < notes; ++i) {
    const char key = static_cast<char>(60 + 2 * (i % 6));
    track += Hex("00 90") + key + Hex("64") + Vlq(static_cast<std::uint32_t>(ticks_each)) + Hex("80") + key + Hex("00");
  }
  return Smf(0, 480, {track + Hex("00 FF 2F 00")});
}

constexpr const char* kPosition = "Status REDevid1 position";
constexpr const char* kMode = "Status REDevid1 mode";
constexpr double kAudible = 0.001;
constexpr double kSilent = 0.0005;

// Waits, patiently (the machine may be busy), until `condition` holds; false when it never does.
bool WaitFor(const std::function<bool()>& condition) {
  for (const auto give_up = std::chrono::steady_clock::now() + 15s; !condition(); std::this_thread::sleep_for(10ms))
    if (std::chrono::steady_clock::now() > give_up) return false;
  return true;
}

// The FluidSynth service, spoken to in command strings as the program speaks to it.
struct Device {
  explicit Device(const FluidSetup& setup) : service(setup) {}
  int Send(const std::string& command) {
    std::string reply;
    return service.SendString(command, reply);
  }
  // The answer to a query that must succeed.
  std::string Ask(const std::string& command) {
    std::string reply;
    EXPECT_EQ(service.SendString(command, reply), kMediaOk) << command;
    return reply;
  }
  int Open(const std::string& path) {
    return Send("Open " + CommandPath(path) + " type MPEGVideo Alias REDevid1 parent 1 Style 1073741824 notify");
  }
  std::int64_t Position() { return std::stoll(Ask(kPosition)); }
  bool Stops() { return WaitFor([&] { return Ask(kMode) == "stopped"; }); }
  // Plays the open file from 0 to `to` until it stops, and closes it: where it stopped.
  std::int64_t PlayThrough(int to) {
    EXPECT_EQ(Send("Play REDevid1 from 0 to " + std::to_string(to)), kMediaOk);
    EXPECT_TRUE(Stops());
    const std::int64_t stopped_at = Position();
    EXPECT_EQ(Send("Close REDevid1"), kMediaOk);
    return stopped_at;
  }
  FluidMediaService service;
};

TEST(FluidSetupTest, TheUsersSoundFontWinsElseTheFirstInstalledOne) {
  testing::TempFolder folder;
  testing::WriteFileBytes(folder.Join("second.sf2"), "x");
  const std::vector<std::string> installed{folder.Join("first.sf2"), folder.Join("second.sf2")};
  EXPECT_EQ((std::vector<std::string>{FindSoundFont(nullptr, installed), FindSoundFont("", installed),
                                      FindSoundFont("/nowhere/mine.sf2", installed),  // named, so taken
                                      FindSoundFont(nullptr, {folder.Join("first.sf2")})}),
            (std::vector<std::string>{folder.Join("second.sf2"), folder.Join("second.sf2"), "/nowhere/mine.sf2", ""}));
}

class FluidMediaServiceTest : public testing::SessionTest {
 protected:
  FluidMediaServiceTest() { testing::WriteFileBytes(SoundFont(), SineSoundFont()); }
  std::string SoundFont() const { return user.Join("sine.sf2"); }
  std::string Wav() const { return user.Join("heard.wav"); }
  double Heard() const { return WavRms(ReadFileBytes(Wav())); }
};

// Then, on the same device: a Play taking over another, Stop back at 0, and what the device
// refuses, which changes nothing.
TEST_F(FluidMediaServiceTest, PlaysPausesResumesFromThePauseStopsAtTheEndAndRefusesWhatItCannotDo) {
  // The environment names the SoundFont and sends the sound to a WAV file, as on a machine without sound.
  ::setenv("QUAVERT_SOUNDFONT", SoundFont().c_str(), 1);
  ::setenv("QUAVERT_AUDIO_FILE", Wav().c_str(), 1);
  {
    Device device(FluidSetupFromEnvironment());
    ::unsetenv("QUAVERT_SOUNDFONT");
    ::unsetenv("QUAVERT_AUDIO_FILE");
    std::vector<std::string> modes;
    const auto then = [&](int code) {
      EXPECT_EQ(code, kMediaOk);
      modes.push_back(device.Ask(kMode));
    };
    then(device.Open(UserFile("my song.mid", NoteSequence(8, 240))));  // two seconds
    EXPECT_EQ(device.Ask("Set REDevid1 time format frames") + device.Ask("Status REDevid1 length"), "1920");
    const auto started = std::chrono::steady_clock::now();
    then(device.Send("Play REDevid1 from 0 to 1920 notify"));
    ASSERT_TRUE(WaitFor([&] { return device.Position() > 480; }));
    then(device.Send("Pause REDevid1 notify"));
    const std::int64_t paused_at = device.Position();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(device.Position(), paused_at);
    then(device.Send("Play REDevid1 from " + std::to_string(paused_at) + " to 1920 notify"));
    EXPECT_GE(device.Position(), paused_at) << "resumed from an earlier place";
    ASSERT_TRUE(device.Stops());
    // Two seconds of music take two seconds, less what was heard before the pause was asked for.
    EXPECT_GE(std::chrono::steady_clock::now() - started, 1800ms);
    EXPECT_EQ(device.Position(), 1920);
    EXPECT_EQ(modes, (std::vector<std::string>{"stopped", "playing", "paused", "playing"}));

    ASSERT_EQ(device.Send("Play REDevid1 from 960 to 1920 notify"), kMediaOk);
    ASSERT_EQ(device.Send("Play REDevid1 from 0 to 1920 notify"), kMediaOk);  // takes over
    EXPECT_LT(device.Position(), 960);
    ASSERT_EQ(device.Send("Stop REDevid1 notify"), kMediaOk);
    for (const auto& [command, code] : std::initializer_list<std::pair<std::string, int>>{
             {"Play REDevid1 from 1921 to 1920", kOutOfRange}, {"Play REDevid1 from -1 to 1920", kOutOfRange},
             {"Play REDevid1 from 900 to 800", kOutOfRange}, {"Play REDevid1 from x to 1920", kBadNumber},
             {"Set REDevid1 time format milliseconds", kUnknownWord}, {"Status REDevid1", kUnknownWord},
             {"Status Other mode", kDeviceNotOpen}, {"", kUnknownCommand}, {"Open " + user.Join("x.mid"), kDeviceAlreadyOpen}}) {
      EXPECT_EQ(device.Send(command), code) << command;
      EXPECT_EQ(device.Ask(kMode) + " " + device.Ask(kPosition), "stopped 0") << command;
    }
    EXPECT_EQ(device.Ask("status redevid1 LENGTH"), "1920");
    EXPECT_EQ(device.Send("Close REDevid1 notify"), kMediaOk);
    EXPECT_EQ(device.Send(kMode), kDeviceNotOpen);
  }
  EXPECT_GT(Heard(), kAudible);
}

TEST_F(FluidMediaServiceTest, OpenSaysWhatIsMissingAndDamagedFilesEndAtOnce) {
  const std::string song = UserFile("song.mid", NoteSequence(1, 96));
  testing::WriteFileBytes(user.Join("broken.sf2"), "RIFF this is no SoundFont");
  const std::pair<FluidSetup, int> setups[] = {{{"", Wav()}, kNoSoundFont}, {{user.Join("none.sf2"), Wav()}, kNoSoundFont},
                                                {{user.Join("broken.sf2"), Wav()}, kSoundFontUnusable},
                                                {{SoundFont(), user.Join("no folder/out.wav")}, kNoAudioOutput}};
  for (const auto& [setup, code] : setups) {
    Device device(setup);
    EXPECT_EQ(device.Open(song), code) << setup.SoundFont << " " << setup.AudioFile;
    EXPECT_EQ(device.service.ErrorText(code), MediaErrorText(code));
    EXPECT_NE(MediaErrorText(code), "");
    EXPECT_EQ(device.Send("Play REDevid1 from 0 to 96 notify"), code);
  }
  // What cannot be opened; a file that is no MIDI file opens but has no length to play; a file
  // the synthesizer refuses part-way (a message no file may hold after its note) ends at once.
  Device device({SoundFont(), Wav()});
  const std::string huge = UserFile("huge.mid", NoteSequence(1, 96));
  std::filesystem::resize_file(huge, std::uintmax_t{65} << 20);  // sparse: costs no disk
  const std::string text = UserFile("notes.txt", "no MIDI here");
  EXPECT_EQ((std::vector<int>{device.Open(user.Join("missing.mid")), device.Open(user.Path()), device.Open(huge), device.Open(text)}),
            (std::vector<int>{kFileMissing, kFileMissing, kFileTooLarge, kMediaOk}));
  EXPECT_EQ(device.Ask("Status REDevid1 length"), "0");
  EXPECT_EQ(device.Send("Play REDevid1 from 0 to 1 notify"), kOutOfRange);
  ASSERT_EQ(device.Send("Close REDevid1"), kMediaOk);
  ASSERT_EQ(device.Open(UserFile("damaged.mid", Smf(0, 480, {Hex("00 90 3C 64  83 60 80 3C 00  00 F2 00 00  00 FF 2F 00")}))), kMediaOk);
  device.PlayThrough(480);
}

// ALSA's null device takes sound where there is no sound card, so FluidSynth's own audio thread
// drives the player here as it does on a desktop. ALSA reads its settings once, from HOME.
TEST_F(FluidMediaServiceTest, TheSoundCardPlaysFromFluidSynthsAudioThread) {
  testing::WriteFileBytes(user.Join(".asoundrc"), "pcm.!default { type null }\n");
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("HOME", user.Path().c_str(), 1);
  Device device({SoundFont(), ""});
  const int opened = device.Open(UserFile("quarter.mid", NoteSequence(1, 240)));
  ::setenv("HOME", home.c_str(), 1);
  ASSERT_EQ(opened, kMediaOk) << MediaErrorText(opened);
  EXPECT_EQ(device.PlayThrough(240), 240);
}

// What is played after "Save Track" is the saved working copy: saved as it was, the song sounds;
// saved with its notes at velocity 0 it is silent, though the file the user opened still sounds.
TEST_F(FluidMediaServiceTest, PlayAfterSaveTrackPlaysTheSavedWorkingCopy) {
  auto heard_after_saving = [&](const std::string& velocity) {
    {
      FluidMediaService service({SoundFont(), Wav()});
      Session playing(app.Path(), ui, service);
      OpenMidiFile(playing, UserFile("song.mid", NoteSequence(2, 240)));
      Command1Click(playing);
      if (!velocity.empty())
        for (const std::int64_t note_on : {1, 3}) CellEditDone(playing, note_on, 2, "100", velocity);
      ui.ClearLog();
      SaveTrackCommand(playing);
      EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Data saved!"});
      PlayAction(playing);
      EXPECT_TRUE(playing.player.Playing);
      EXPECT_TRUE(WaitFor([&] { return Timer1Tick(playing), !playing.player.Playing; })) << "the poll never saw the end";
      EXPECT_FALSE(ui.IsEnabled(Control::mnuPause) || ui.IsEnabled(Control::mnuStop));
      MciClose(playing, kDeviceAlias);
    }
    return Heard();
  };
  EXPECT_GT(heard_after_saving(""), kAudible);
  EXPECT_LT(heard_after_saving("0"), kSilent);
  EXPECT_EQ(ReadFileBytes(user.Join("song.mid")), NoteSequence(2, 240));
}

}  // namespace
}  // namespace quavert
