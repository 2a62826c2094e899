#pragma once

#include <string>
#include <vector>

namespace quavert::testing {

/// Paths of real MIDI files nobody here wrote (Debian's openttd-openmsx songs), fetched once into
/// the build folder by scripts/fetch-real-midi.sh. Empty when they cannot be had (offline): tests
/// that use them then skip.
const std::vector<std::string>& RealMidiFiles();

}  // namespace quavert::testing
