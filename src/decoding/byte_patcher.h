#pragma once

#include <cstdint>
#include <string>

namespace quavert {

/// Bytes to write over a file's own, in place: `bytes` from 1-based `position` on.
struct BytePatch {
  std::int64_t position = 0;
  std::string bytes;
  bool operator==(const BytePatch&) const = default;
};

/// The header's ticks per quarter note, as the two bytes 13 and 14. RunError 6 when `ticks`
/// does not fit them.
BytePatch DivisionPatch(std::int64_t ticks);

/// The value 2 in place of a time signature's clocks byte at `position`.
BytePatch ClocksBytePatch(std::int64_t position);

/// A tempo of `bpm` beats per minute as the three bytes of microseconds per quarter note at
/// `position` (the first data byte of a tempo event). RunError 6 when three bytes cannot hold it
/// or it would come out as 0.
BytePatch TempoPatch(std::int64_t position, std::int64_t bpm);

/// Writes `patch` over the file at `path`, which keeps its length. RunError 53 when the file is
/// missing (nothing is created), 5 when the bytes would not lie inside it, and the file errors of
/// opening and writing.
void ApplyPatch(const std::string& path, const BytePatch& patch);

}  // namespace quavert
