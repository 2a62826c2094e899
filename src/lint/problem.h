#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace quavert {

enum class Severity { kError, kWarning };

/// One thing wrong with a MIDI file, found by the lint.
struct Problem {
  std::int64_t offset = 0;   ///< 0-based byte offset in the file: the first wrong byte, or where a
                             ///< missing one belongs
  std::optional<int> track;  ///< 1-based number of the track chunk; none outside a track
  Severity severity = Severity::kError;
  std::string code;     ///< a short fixed name ("missing-status")
  std::string message;  ///< what is wrong, in words
  bool operator==(const Problem&) const = default;
};

/// Takes each problem as it is found.
using ProblemSink = std::function<void(const Problem&)>;

}  // namespace quavert
