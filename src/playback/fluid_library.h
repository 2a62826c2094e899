#pragma once

#include <fluidsynth.h>
#include <glib.h>

#include <optional>
#include <string>

namespace quavert {

/// The FluidSynth functions the program calls, found in the library at run time. Their types
/// come from FluidSynth's headers; GLib's log handler comes with them, for the instrument
/// loaders FluidSynth brings, which log through GLib.
struct FluidFunctions {
  decltype(&::fluid_set_log_function) fluid_set_log_function;
  decltype(&::new_fluid_settings) new_fluid_settings;
  decltype(&::delete_fluid_settings) delete_fluid_settings;
  decltype(&::fluid_settings_setnum) fluid_settings_setnum;
  decltype(&::fluid_settings_setstr) fluid_settings_setstr;
  decltype(&::fluid_settings_setint) fluid_settings_setint;
  decltype(&::fluid_settings_getnum) fluid_settings_getnum;
  decltype(&::fluid_settings_getint) fluid_settings_getint;
  decltype(&::new_fluid_synth) new_fluid_synth;
  decltype(&::delete_fluid_synth) delete_fluid_synth;
  decltype(&::fluid_synth_sfload) fluid_synth_sfload;
  decltype(&::fluid_synth_write_float) fluid_synth_write_float;
  decltype(&::fluid_synth_process) fluid_synth_process;
  decltype(&::fluid_synth_all_notes_off) fluid_synth_all_notes_off;
  decltype(&::fluid_synth_all_sounds_off) fluid_synth_all_sounds_off;
  decltype(&::fluid_synth_system_reset) fluid_synth_system_reset;
  decltype(&::new_fluid_player) new_fluid_player;
  decltype(&::delete_fluid_player) delete_fluid_player;
  decltype(&::fluid_player_set_tick_callback) fluid_player_set_tick_callback;
  decltype(&::fluid_player_add_mem) fluid_player_add_mem;
  decltype(&::fluid_player_play) fluid_player_play;
  decltype(&::fluid_player_seek) fluid_player_seek;
  decltype(&::fluid_player_stop) fluid_player_stop;
  decltype(&::fluid_player_get_status) fluid_player_get_status;
  decltype(&::new_fluid_audio_driver2) new_fluid_audio_driver2;
  decltype(&::delete_fluid_audio_driver) delete_fluid_audio_driver;
  decltype(&::g_log_set_handler) g_log_set_handler;
};

/// FluidSynth, loaded when it is first needed rather than when the program starts: it brings
/// some sixty libraries (sound servers, SDL, X11) that only playing and rendering use. The
/// library stays loaded until the process ends, as FluidSynth and the libraries it brings keep
/// threads and state that do not survive being unloaded.
class FluidLibrary {
 public:
  /// `name` is the file dlopen looks for, kFluidSynthLibrary but in tests.
  explicit FluidLibrary(std::string name);

  /// The functions, loaded by the first call; nullptr when the library or one of its functions
  /// cannot be loaded, and Problem() then says which.
  const FluidFunctions* Functions();
  /// Why the library could not be loaded, naming it; empty while it could.
  const std::string& Problem() const { return problem_; }

 private:
  std::string name_;
  bool tried_ = false;
  std::optional<FluidFunctions> functions_;
  std::string problem_;
};

/// FluidSynth and GLib write nothing to the terminal any more, for the whole process.
void SilenceFluidSynth(const FluidFunctions& fluid);

}  // namespace quavert
