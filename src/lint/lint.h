#pragma once

#include <string>
#include <vector>

#include "lint/problem.h"

namespace quavert {

class BinaryFile;

/// Quavert reads at most this many track chunks.
inline constexpr int kLintMostTracks = 72;

/// Checks the whole of `file` without stopping at the first problem: the header, every chunk
/// (each by its length) and, inside each track chunk, its events as the track decoder reads them.
/// A problem inside a track ends the check of that track's events; the walk goes on with the next
/// chunk. Each problem goes to `sink` as it is found, in the order of the walk. An RMID file is
/// checked through its "data" chunk, with offsets in the RIFF file. Never throws for the
/// contents of the file.
void Lint(BinaryFile& file, const ProblemSink& sink);

/// The problems of the file at `path`, ordered by offset (the walk's order among equal offsets).
/// RunError when the file cannot be opened.
std::vector<Problem> LintFile(const std::string& path);

}  // namespace quavert
