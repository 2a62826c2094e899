#pragma once

#include <string>

namespace quavert {

class BinaryFile;

/// Writes into `target` (empty, just created) an RMID file around the MIDI file at `midi_path`:
/// "RIFF", its length, "RMID", then the chunks the RMID file at `original_path` has before its
/// data chunk, as they stand, the data chunk holding the MIDI file (with a pad byte when its
/// length is odd), and the chunks the original has after its data chunk, as they stand. Without an
/// original (an empty path, or a file that is no RMID file) the data chunk is the only chunk.
/// RunError when a file cannot be read or written.
void WriteRmidFile(const std::string& midi_path, const std::string& original_path, BinaryFile& target);

}  // namespace quavert
