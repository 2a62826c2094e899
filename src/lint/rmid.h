#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quavert {

class BinaryFile;

/// Where the Standard MIDI File inside a file lies, as 1-based file positions.
struct MidiRange {
  std::int64_t first = 1;
  std::int64_t last = 0;
  bool rmid = false;  ///< the range is the "data" chunk of a RIFF file of form type RMID
  /// RMID: where the data chunk's header begins, and the position just after the chunk and its
  /// pad byte (at most one past the end of the file).
  std::int64_t chunk_first = 0;
  std::int64_t chunk_end = 0;
  bool operator==(const MidiRange&) const = default;
};

/// What stands in the way of finding the MIDI data inside a RIFF file.
struct RiffProblem {
  std::int64_t position = 0;  ///< 1-based file position
  bool fatal = false;         ///< no MIDI data can be found
  std::string code;
  std::string message;
};

/// The MIDI data of `file`: the whole file, or, when it begins with "RIFF" and the form type
/// "RMID", the data of its "data" chunk (cut at the end of the file when its length runs past it).
/// A RIFF file of another form type, or an RMID file without a "data" chunk, has none: `problem`
/// then says why (fatal). A "data" chunk that runs past the end of the file is a problem that
/// is not fatal.
MidiRange FindMidiData(BinaryFile& file, std::optional<RiffProblem>& problem);

}  // namespace quavert
