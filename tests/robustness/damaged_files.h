#pragma once

#include <string>
#include <vector>

#include "support/midi_bytes.h"

namespace quavert::testing {

/// How far a file gets when it is opened and every question is answered No.
enum class Reaches {
  kRejected,      ///< the load fails: nothing loaded, every file command disabled
  kDecodeFailed,  ///< the file loads but track 1 does not decode: its commands are disabled
  kDecoded,       ///< the file loads and track 1 decodes
};

/// One kind of damage a MIDI file can carry, as a file named SONG.MID, and what opening it shows.
struct DamagedFile {
  std::string name;                   ///< a short name for the kind of damage, fit for a file name
  Bytes bytes;
  std::vector<std::string> messages;  ///< the messages of the open, questions answered No
  Reaches reaches = Reaches::kDecoded;
  int tracks = 0;                     ///< tracks in the chooser after the load
};

/// Every kind of damage the program knows of, and a few sound files at its limits.
std::vector<DamagedFile> DamagedFiles();

}  // namespace quavert::testing
