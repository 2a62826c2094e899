#pragma once

#include <string>
#include <vector>

namespace quavert::testing {

/// Paths of MIDI files nobody here wrote (Debian's openttd-openmsx songs), fetched once into the
/// build folder by scripts/fetch-real-midi.sh; empty when they cannot be had (offline), and the
/// tests that use them then skip.
const std::vector<std::string>& FetchedRealFiles();

/// Paths of the project's example files.
std::vector<std::string> ExampleFiles();

}  // namespace quavert::testing
