#include "playback/fluid_library.h"

#include <dlfcn.h>

#include <utility>

namespace quavert {
namespace {

// GLib comes with FluidSynth, which needs it: opening it again only finds it.
constexpr const char* kGlibLibrary = "libglib-2.0.so.0";

// The function `name` of the library behind `handle`, put into `slot`; false when it has none.
template <typename Function>
bool Find(void* handle, const char* name, Function& slot) {
  slot = reinterpret_cast<Function>(dlsym(handle, name));
  return slot != nullptr;
}

void Unheard(int /*level*/, const char* /*message*/, void* /*data*/) {}
void UnheardByGlib(const gchar* /*domain*/, GLogLevelFlags /*level*/, const gchar* /*message*/, gpointer /*data*/) {}

}  // namespace

FluidLibrary::FluidLibrary(std::string name) : name_(std::move(name)) {}

const FluidFunctions* FluidLibrary::Functions() {
  if (tried_) return functions_ ? &*functions_ : nullptr;
  tried_ = true;
  void* fluid = dlopen(name_.c_str(), RTLD_NOW | RTLD_LOCAL);
  void* glib = fluid != nullptr ? dlopen(kGlibLibrary, RTLD_NOW | RTLD_LOCAL) : nullptr;
  FluidFunctions found{};
#define QUAVERT_FIND(handle, function) Find(handle, #function, found.function)
  const bool complete =
      glib != nullptr && QUAVERT_FIND(fluid, fluid_set_log_function) && QUAVERT_FIND(fluid, new_fluid_settings) &&
      QUAVERT_FIND(fluid, delete_fluid_settings) && QUAVERT_FIND(fluid, fluid_settings_setnum) &&
      QUAVERT_FIND(fluid, fluid_settings_setstr) && QUAVERT_FIND(fluid, fluid_settings_setint) &&
      QUAVERT_FIND(fluid, fluid_settings_getnum) && QUAVERT_FIND(fluid, fluid_settings_getint) &&
      QUAVERT_FIND(fluid, new_fluid_synth) && QUAVERT_FIND(fluid, delete_fluid_synth) &&
      QUAVERT_FIND(fluid, fluid_synth_sfload) && QUAVERT_FIND(fluid, fluid_synth_write_float) &&
      QUAVERT_FIND(fluid, fluid_synth_process) && QUAVERT_FIND(fluid, fluid_synth_all_notes_off) &&
      QUAVERT_FIND(fluid, fluid_synth_all_sounds_off) && QUAVERT_FIND(fluid, fluid_synth_system_reset) &&
      QUAVERT_FIND(fluid, new_fluid_player) && QUAVERT_FIND(fluid, delete_fluid_player) &&
      QUAVERT_FIND(fluid, fluid_player_set_tick_callback) && QUAVERT_FIND(fluid, fluid_player_add_mem) &&
      QUAVERT_FIND(fluid, fluid_player_play) && QUAVERT_FIND(fluid, fluid_player_seek) &&
      QUAVERT_FIND(fluid, fluid_player_stop) && QUAVERT_FIND(fluid, fluid_player_get_status) &&
      QUAVERT_FIND(fluid, new_fluid_audio_driver2) && QUAVERT_FIND(fluid, delete_fluid_audio_driver) &&
      QUAVERT_FIND(glib, g_log_set_handler);
#undef QUAVERT_FIND
  if (complete) {
    functions_ = found;
  } else {
    // dlerror names the library, and the function when the library lacks one.
    const char* reason = dlerror();
    problem_ = reason != nullptr ? reason : name_ + " cannot be loaded";
  }
  return functions_ ? &*functions_ : nullptr;
}

// FluidSynth logs on its own, and the library it loads other instrument formats with through
// GLib, without a domain.
void SilenceFluidSynth(const FluidFunctions& fluid) {
  for (const int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
    fluid.fluid_set_log_function(level, &Unheard, nullptr);
  fluid.g_log_set_handler(nullptr, G_LOG_LEVEL_MASK, &UnheardByGlib, nullptr);
}

}  // namespace quavert
