#pragma once

#include <string>
#include <vector>

#include "lint/lint.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"

namespace quavert::testing {

/// A problem in short: "CODE@OFFSET", with "w:" in front of a warning and "/TRACK" after it
/// when it lies in a track: "w:hanging-note@23/1".
inline std::string Describe(const Problem& problem) {
  return (problem.severity == Severity::kWarning ? "w:" : "") + problem.code + "@" + std::to_string(problem.offset) +
         (problem.track ? "/" + std::to_string(*problem.track) : "");
}

/// The problems lint finds in `bytes`, described.
inline std::vector<std::string> LintBytes(const Bytes& bytes) {
  TempFolder folder;
  std::vector<std::string> found;
  for (const Problem& problem : LintFile(folder.Write("song.mid", bytes))) found.push_back(Describe(problem));
  return found;
}

}  // namespace quavert::testing
