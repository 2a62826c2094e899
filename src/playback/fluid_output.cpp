#include "playback/fluid_output.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <thread>
#include <utility>
#include <vector>

#include "common/run_error.h"
#include "common/wav_file.h"

namespace quavert {
namespace {

// FluidSynth's audio thread calls back for every block it wants.
class SoundCardOutput final : public AudioOutput {
 public:
  SoundCardOutput(const FluidFunctions& fluid, fluid_settings_t* settings, fluid_synth_t* synth,
                  std::mutex& render_lock)
      : fluid_(fluid),
        synth_(synth),
        render_lock_(render_lock),
        driver_(fluid.new_fluid_audio_driver2(settings, &Render, this)) {}
  ~SoundCardOutput() override {
    if (driver_ != nullptr) fluid_.delete_fluid_audio_driver(driver_);
  }
  SoundCardOutput(const SoundCardOutput&) = delete;
  SoundCardOutput& operator=(const SoundCardOutput&) = delete;

  bool IsOpen() const { return driver_ != nullptr; }

 private:
  static int Render(void* data, int len, int nfx, float* fx[], int nout, float* out[]) {
    auto* self = static_cast<SoundCardOutput*>(data);
    const std::lock_guard<std::mutex> hold(self->render_lock_);
    if (nfx == 0 && nout >= 2) {
      // Drivers without effect buffers get reverb and chorus mixed into the dry sound.
      std::array<float*, 4> mixed = {out[0], out[1], out[0], out[1]};
      return self->fluid_.fluid_synth_process(self->synth_, len, static_cast<int>(mixed.size()), mixed.data(), nout,
                                              out);
    }
    return self->fluid_.fluid_synth_process(self->synth_, len, nfx, fx, nout, out);
  }

  const FluidFunctions& fluid_;
  fluid_synth_t* synth_;
  std::mutex& render_lock_;
  fluid_audio_driver_t* driver_;  // last: its thread may call Render as soon as it exists
};

// A thread of our own renders the file block by block, keeping pace with the clock while the
// sound is wanted; the clock starts afresh each time it is wanted again.
class FileOutput final : public AudioOutput {
 public:
  FileOutput(const FluidFunctions& fluid, fluid_settings_t* settings, fluid_synth_t* synth, std::mutex& render_lock,
             WavWriter writer, WantsSound wanted)
      : fluid_(fluid),
        synth_(synth),
        render_lock_(render_lock),
        writer_(std::move(writer)),
        wanted_(std::move(wanted)) {
    double rate = 0;
    fluid.fluid_settings_getnum(settings, "synth.sample-rate", &rate);
    fluid.fluid_settings_getint(settings, "audio.period-size", &period_);
    frames_per_second_ = rate;
    block_.resize(static_cast<std::size_t>(period_) * kWavChannels);
    thread_ = std::thread([this] { Run(); });
  }
  ~FileOutput() override {
    {
      const std::lock_guard<std::mutex> hold(wake_mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
    try {
      writer_.Close();
    } catch (...) {
      // The header was right after the last write that worked; nothing more can be done.
    }
  }
  FileOutput(const FileOutput&) = delete;
  FileOutput& operator=(const FileOutput&) = delete;

 private:
  static constexpr std::chrono::milliseconds kTick{10};

  void Run() {
    auto start = std::chrono::steady_clock::now();
    std::int64_t frames = 0;  // rendered since `start`
    std::vector<float> sound;
    std::unique_lock<std::mutex> wake_lock(wake_mutex_);
    while (!stop_) {
      wake_lock.unlock();
      sound.clear();
      {
        const std::lock_guard<std::mutex> hold(render_lock_);
        const auto now = std::chrono::steady_clock::now();
        const std::chrono::duration<double> elapsed = now - start;
        const auto due = static_cast<std::int64_t>(elapsed.count() * frames_per_second_);
        for (; frames + period_ <= due && wanted_(); frames += period_) RenderBlock(sound);
        if (!wanted_()) {
          start = now;
          frames = 0;
        }
      }
      Write(sound);  // without the lock: the disk must not hold up the commands
      wake_lock.lock();
      wake_.wait_for(wake_lock, kTick, [this] { return stop_; });
    }
  }

  void RenderBlock(std::vector<float>& sound) {
    fluid_.fluid_synth_write_float(synth_, period_, block_.data(), 0, 2, block_.data(), 1, 2);
    sound.insert(sound.end(), block_.begin(), block_.end());
  }

  // A file that cannot take more sound must not stop the clock the player runs on: the sound
  // is still rendered, and dropped.
  void Write(const std::vector<float>& sound) {
    if (sound.empty() || write_failed_) return;
    try {
      write_failed_ = !writer_.Append(sound);
    } catch (...) {
      write_failed_ = true;
    }
  }

  const FluidFunctions& fluid_;
  fluid_synth_t* synth_;
  std::mutex& render_lock_;
  WavWriter writer_;
  WantsSound wanted_;
  int period_ = 64;
  double frames_per_second_ = 44100;
  bool write_failed_ = false;
  std::vector<float> block_;  // one interleaved stereo block
  std::mutex wake_mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<AudioOutput> OpenSoundCard(const FluidFunctions& fluid, fluid_settings_t* settings, fluid_synth_t* synth,
                                           std::mutex& render_lock) {
  auto output = std::make_unique<SoundCardOutput>(fluid, settings, synth, render_lock);
  if (!output->IsOpen()) return nullptr;
  return output;
}

std::unique_ptr<AudioOutput> OpenAudioFile(const FluidFunctions& fluid, fluid_settings_t* settings, fluid_synth_t* synth,
                                           std::mutex& render_lock, const std::string& path, WantsSound wanted) {
  double rate = 0;
  if (fluid.fluid_settings_getnum(settings, "synth.sample-rate", &rate) != FLUID_OK) return nullptr;
  try {
    WavWriter writer(path, static_cast<std::uint32_t>(rate));
    return std::make_unique<FileOutput>(fluid, settings, synth, render_lock, std::move(writer), std::move(wanted));
  } catch (const RunError&) {
    return nullptr;
  }
}

}  // namespace quavert
