#pragma once

#include <string>
#include <vector>

#include "midi_track.h"

namespace quavert::generate {

struct ExampleFile {
  std::string name;  ///< file name, such as "demo.mid"
  Bytes bytes;
};

/// The small files of the examples folder: demo.mid (the piece the window opens on the first
/// run), waltz.mid (format 0 with lyrics), tempos.mid (tempo and meter changes) and sysex.mid
/// (system exclusive and the rarer meta and channel events).
std::vector<ExampleFile> ExampleFiles();

}  // namespace quavert::generate
