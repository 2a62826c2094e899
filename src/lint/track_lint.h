#pragma once

#include <cstdint>

#include "lint/problem.h"

namespace quavert {

class BinaryFile;

/// Checks the events of track chunk number `track` (1-based), whose data lies at the 1-based
/// positions [first, last] of `file`, reading them as the track decoder does: running status,
/// channel data bytes, variable-length numbers, meta events and their values, system-exclusive
/// termination, the end of track and what follows it, notes left on. The first error ends the
/// check; warnings do not.
void LintTrackEvents(BinaryFile& file, int track, std::int64_t first, std::int64_t last, const ProblemSink& sink);

}  // namespace quavert
