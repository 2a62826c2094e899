#pragma once

#include <string>
#include <vector>

#include "support/midi_bytes.h"

namespace quavert::testing {

/// A valid Standard MIDI File at a corner of the format, and the texts its meta events hold.
struct CornerFile {
  std::string name;
  Bytes bytes;
  std::vector<std::string> texts;  ///< each shown whole, and with nothing changed, by Text2 and the report
};

/// Valid files that use what real files use and what the format allows at its limits: texts of
/// every text type from 0 to 16,384 bytes before and inside the timed part, delta times of up to
/// four bytes anywhere, long system-exclusive and sequencer-specific data, every meta event with
/// a meaning, every channel message with and without running status, and headers of every format.
std::vector<CornerFile> ValidCornerFiles();

}  // namespace quavert::testing
